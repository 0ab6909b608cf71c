// Summary figures of a series of frame times.
#pragma once

#include <vector>

namespace Snapshot
{
struct FrameStatistics
{
    double mean = 0.0;
    double median = 0.0;
    double percentile95 = 0.0;
};

// Mean, median (the middle two averaged for an even count) and the 95th
// percentile by nearest rank; all zero for no samples.
FrameStatistics Summarise(std::vector<double> samples);
}
