#include "LargeBlocks.h"

#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace KorvanaFramework
{
namespace
{
// The size of an x86-64 huge page; blocks below it gain nothing.
constexpr std::size_t HugePage = std::size_t{2} << 20;

bool IsLarge(std::size_t bytes)
{
    return bytes >= HugePage;
}
}

// A large block is rounded up to whole huge pages, as aligned_alloc wants a
// multiple of the alignment. The advice is given before the first write,
// so that the pages are huge from the start; where the kernel declines it
// the block simply keeps ordinary pages.
void* AllocateLargeBlock(std::size_t bytes)
{
    if (!IsLarge(bytes))
        return ::operator new(bytes);
    if (bytes > static_cast<std::size_t>(-1) - HugePage)
        throw std::bad_alloc();
    const std::size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    void* block = std::aligned_alloc(HugePage, rounded);
    if (!block)
        throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(block, rounded, MADV_HUGEPAGE);
#endif
    return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept
{
    if (IsLarge(bytes))
        std::free(block);
    else
        ::operator delete(block);
}
}
