#include "FrameStatistics.h"

#include <algorithm>
#include <numeric>

namespace Snapshot
{
FrameStatistics Summarise(std::vector<double> samples)
{
    FrameStatistics statistics;
    const std::size_t n = samples.size();
    if (n == 0)
        return statistics;
    std::sort(samples.begin(), samples.end());
    statistics.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(n);
    statistics.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
    // Nearest rank: the smallest sample with at least 95 % of the samples
    // at or below it, counted in whole numbers so that 95 % of 20 is 19.
    const std::size_t rank = (95 * n + 99) / 100;
    statistics.percentile95 = samples[rank - 1];
    return statistics;
}
}
