#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

namespace korvalo {

// Big blocks of memory straight from the system, in huge pages where it has them; null
// when it has none to give. Free with FreeLargeBlock(p, the same size). Defined with the
// program's other system calls (egofile/platformfile_posix.cpp or platformfile_qt.cpp).
void *AllocateLargeBlock(std::size_t bytes);
void FreeLargeBlock(void *p, std::size_t bytes);

// Allocates big blocks (whole files of tens of megabytes) straight from the system in
// huge pages where the system allows it: filling 60 MB of fresh 4 KB pages costs more
// than the work done on them. Small blocks come from malloc as usual.
template <typename T>
struct LargeBlockAllocator
{
    using value_type = T;
    static constexpr std::size_t Threshold = std::size_t(4) << 20;

    LargeBlockAllocator() = default;
    template <typename U>
    LargeBlockAllocator(const LargeBlockAllocator<U> &) noexcept {}

    T *allocate(std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= Threshold) {
            if (void *p = AllocateLargeBlock(bytes))
                return static_cast<T *>(p);
            throw std::bad_alloc();
        }
        if (void *p = std::malloc(bytes))
            return static_cast<T *>(p);
        throw std::bad_alloc();
    }

    void deallocate(T *p, std::size_t n) noexcept
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= Threshold)
            FreeLargeBlock(p, bytes);
        else
            std::free(p);
    }

    template <typename U>
    bool operator==(const LargeBlockAllocator<U> &) const noexcept { return true; }
};

// A byte string for whole files.
using TextBuffer = std::basic_string<char, std::char_traits<char>, LargeBlockAllocator<char>>;

} // namespace korvalo
