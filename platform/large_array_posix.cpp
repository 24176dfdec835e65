// Large arrays on POSIX systems: blocks of 2 MiB and more are mapped on their own, aligned to 2 MiB,
// and offered to the kernel for transparent huge pages (one fault per 2 MiB instead of per 4 KiB).
#include <sys/mman.h>

#include <cstdint>

#include "platform/large_array.h"

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t MappedLength(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

void* AllocateLargeArray(std::size_t bytes) {
    if (bytes < kHugePage) return ::operator new(bytes);
    if (bytes > std::numeric_limits<std::size_t>::max() - 2 * kHugePage) throw std::bad_alloc();
    const std::size_t length = MappedLength(bytes);
    // One huge page more than needed, so that an aligned start lies inside; the rest is returned.
    void* mapped =
        ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    char* const base = static_cast<char*>(mapped);
    const auto address = reinterpret_cast<std::uintptr_t>(base);
    char* const start = base + (((address + kHugePage - 1) & ~(kHugePage - 1)) - address);
    if (start != base) ::munmap(base, static_cast<std::size_t>(start - base));
    const std::size_t after = static_cast<std::size_t>(base + length + kHugePage - (start + length));
    if (after != 0) ::munmap(start + length, after);
#ifdef MADV_HUGEPAGE
    ::madvise(start, length, MADV_HUGEPAGE);  // only advice: without huge pages the block still works
#endif
    return start;
}

void FreeLargeArray(void* block, std::size_t bytes) {
    if (block == nullptr) return;
    if (bytes < kHugePage) {
        ::operator delete(block);
        return;
    }
    ::munmap(block, MappedLength(bytes));
}
