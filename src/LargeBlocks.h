// Storage for lists that a frame streams through from end to end, such as
// the shadow-volume lists of a mesh of millions of triangles. Blocks of at
// least 2 MiB are aligned to 2 MiB and, on Linux, the kernel is asked to
// back them with huge pages: one address-translation entry then covers
// 2 MiB instead of 4 KiB, and a pass over tens of megabytes no longer
// waits for a page-table walk every 4 KiB. Smaller blocks are ordinary.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace KorvanaFramework
{
// Throws std::bad_alloc when no block can be had.
void* AllocateLargeBlock(std::size_t bytes);
// Gives back a block of AllocateLargeBlock of the same size.
void FreeLargeBlock(void* block, std::size_t bytes) noexcept;

template <typename T> struct LargeBlockAllocator
{
    using value_type = T;

    LargeBlockAllocator() = default;
    template <typename U> LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

    T* allocate(std::size_t count)
    {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLargeBlock(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { FreeLargeBlock(block, count * sizeof(T)); }

    template <typename U> bool operator==(const LargeBlockAllocator<U>&) const noexcept { return true; }
    template <typename U> bool operator!=(const LargeBlockAllocator<U>&) const noexcept { return false; }
};

// A list kept in large blocks.
template <typename T> using LargeList = std::vector<T, LargeBlockAllocator<T>>;
}
