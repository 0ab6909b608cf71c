// Summary figures of the frame benchmark.
#include <gtest/gtest.h>

#include "FrameStatistics.h"

namespace
{
using Snapshot::Summarise;

TEST(FrameStatistics, OddCountTakesTheMiddleSampleWhateverTheOrder)
{
    const Snapshot::FrameStatistics s = Summarise({9.0, 1.0, 5.0, 3.0, 7.0});
    EXPECT_DOUBLE_EQ(s.mean, 5.0);
    EXPECT_DOUBLE_EQ(s.median, 5.0);
    EXPECT_DOUBLE_EQ(s.percentile95, 9.0);
}

TEST(FrameStatistics, EvenCountAveragesTheMiddlePair)
{
    const Snapshot::FrameStatistics s = Summarise({4.0, 1.0, 2.0, 10.0});
    EXPECT_DOUBLE_EQ(s.mean, 4.25);
    EXPECT_DOUBLE_EQ(s.median, 3.0);
}

// Nearest rank: of 20 samples the 19th smallest, of 100 the 95th, of 101
// the 96th; one slow frame in 21 already lies above the 95th percentile.
TEST(FrameStatistics, PercentileIsTheNearestRank)
{
    std::vector<double> samples;
    for (int i = 1; i <= 20; ++i)
        samples.push_back(i);
    EXPECT_DOUBLE_EQ(Summarise(samples).percentile95, 19.0);
    for (int i = 21; i <= 100; ++i)
        samples.push_back(i);
    EXPECT_DOUBLE_EQ(Summarise(samples).percentile95, 95.0);
    samples.push_back(101);
    EXPECT_DOUBLE_EQ(Summarise(samples).percentile95, 96.0);
    EXPECT_DOUBLE_EQ(Summarise({2.0}).percentile95, 2.0);
}

TEST(FrameStatistics, NoSamplesGiveZeros)
{
    const Snapshot::FrameStatistics s = Summarise({});
    EXPECT_EQ(s.mean, 0.0);
    EXPECT_EQ(s.median, 0.0);
    EXPECT_EQ(s.percentile95, 0.0);
}
}
