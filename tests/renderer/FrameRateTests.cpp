// The frame time the main bar shows, averaged over half-second periods.
#include <gtest/gtest.h>

#include "FrameRate.h"

namespace
{
using KorvanaFramework::FrameRate;

// Frames of `step` seconds starting at `start`; true when the last one
// closed a period. Steps are binary fractions, so the sums are exact.
bool Frames(FrameRate& rate, double start, double step, int count)
{
    bool closed = false;
    for (int i = 0; i < count; ++i)
        closed = rate.FrameStarted(start + step * i);
    return closed;
}

TEST(FrameRate, NothingIsShownBeforeTheFirstPeriodCloses)
{
    FrameRate rate(0.5);
    EXPECT_FALSE(Frames(rate, 100.0, 1.0 / 128, 64)) << "63 frames take less than 0.5 s";
    EXPECT_EQ(rate.Milliseconds(), 0.0f);
    EXPECT_EQ(rate.FramesPerSecond(), 0.0f);
    EXPECT_TRUE(rate.FrameStarted(100.5));
    EXPECT_FLOAT_EQ(rate.Milliseconds(), 7.8125f);
    EXPECT_FLOAT_EQ(rate.FramesPerSecond(), 128.0f);
}

// The figures of a closed period stay while the next one fills, then give
// way to that period's mean alone.
TEST(FrameRate, EachPeriodAveragesOnlyItsOwnFrames)
{
    FrameRate rate(0.5);
    ASSERT_TRUE(Frames(rate, 0.0, 1.0 / 128, 65));
    EXPECT_FALSE(Frames(rate, 0.5 + 1.0 / 64, 1.0 / 64, 31));
    EXPECT_FLOAT_EQ(rate.Milliseconds(), 7.8125f);
    EXPECT_TRUE(rate.FrameStarted(1.0));
    EXPECT_FLOAT_EQ(rate.Milliseconds(), 15.625f);
    EXPECT_FLOAT_EQ(rate.FramesPerSecond(), 64.0f);
}

// A frame longer than the period (a dragged window, a slow mode) is shown
// on its own at once rather than averaged into later ones.
TEST(FrameRate, OneLongFrameClosesAPeriodByItself)
{
    FrameRate rate(0.5);
    rate.FrameStarted(10.0);
    EXPECT_TRUE(rate.FrameStarted(12.0));
    EXPECT_FLOAT_EQ(rate.Milliseconds(), 2000.0f);
    EXPECT_FLOAT_EQ(rate.FramesPerSecond(), 0.5f);
}

TEST(FrameRate, AClockThatGoesBackStartsAfresh)
{
    FrameRate rate(0.5);
    ASSERT_TRUE(Frames(rate, 5.0, 0.125, 5));
    EXPECT_FALSE(rate.FrameStarted(1.0));
    EXPECT_FALSE(rate.FrameStarted(1.25));
    EXPECT_FLOAT_EQ(rate.Milliseconds(), 125.0f) << "the last good figures stay";
    EXPECT_TRUE(rate.FrameStarted(1.5));
    EXPECT_FLOAT_EQ(rate.Milliseconds(), 250.0f);
}
}
