// Large blocks: aligned to huge pages and advised to use them, of any size
// a growing list asks for, and given back the way they were taken (the
// sanitiser build reports a mismatch).
#include "LargeBlocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>

using namespace KorvanaFramework;

namespace
{
constexpr std::size_t HugePage = std::size_t{2} << 20;

// The "VmFlags:" line of the mapping that holds `address`, or empty.
std::string MappingFlags(const void* address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(maps, line)) {
        unsigned long long low = 0, high = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> low >> dash >> high && dash == '-' && line.find(':') > line.find(' '))
            inside = low <= at && at < high;
        else if (inside && line.rfind("VmFlags:", 0) == 0)
            return line;
    }
    return {};
}

bool KernelOffersHugePages()
{
    std::ifstream modes("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    return std::getline(modes, text) && text.find("[never]") == std::string::npos;
}
}

TEST(LargeBlocks, BigListsStartOnAHugePageAndAskForHugePages)
{
    LargeList<float> big(3 * HugePage / sizeof(float), 1.0f);
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(big.data()) % HugePage);
    EXPECT_EQ(big.size(), static_cast<std::size_t>(std::accumulate(big.begin(), big.end(), 0.0)));
    if (!KernelOffersHugePages())
        GTEST_SKIP() << "this kernel never gives huge pages";
    const std::string flags = MappingFlags(big.data());
    EXPECT_NE(std::string::npos, (flags + " ").find(" hg ")) << flags;
}

TEST(LargeBlocks, ListsKeepTheirContentsAcrossTheHugePageSize)
{
    LargeList<std::uint32_t> list;
    const std::size_t count = 3 * HugePage / sizeof(std::uint32_t);
    for (std::uint32_t k = 0; k < count; ++k)
        list.push_back(k * 7u);
    list.resize(1000);
    list.shrink_to_fit();
    for (std::uint32_t k = 0; k < 1000; ++k)
        ASSERT_EQ(k * 7u, list[k]);
    LargeList<std::uint32_t>().swap(list);
    EXPECT_TRUE(list.empty());
    EXPECT_THROW(LargeBlockAllocator<double>().allocate(static_cast<std::size_t>(-1) / 4), std::bad_alloc);
}
