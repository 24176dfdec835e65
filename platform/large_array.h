#pragma once
// Storage for the scene's long arrays. Where the system offers it, blocks of megabytes come in huge
// pages: a million-triangle map otherwise spends about as long taking page faults for its arrays as
// reading its numbers.
#include <cstddef>
#include <limits>
#include <new>
#include <utility>

void* AllocateLargeArray(std::size_t bytes);  // throws std::bad_alloc
void FreeLargeArray(void* block, std::size_t bytes);

template <typename T>
struct LargeArrayAllocator {
    using value_type = T;

    LargeArrayAllocator() = default;
    template <typename U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLargeArray(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { FreeLargeArray(block, count * sizeof(T)); }

    // resize() leaves new elements uninitialised, as `new T[n]` does: a reader that writes every
    // element once should not pay for writing each twice.
    template <typename U>
    void construct(U* element) {
        ::new (static_cast<void*>(element)) U;
    }
    template <typename U, typename... Args>
    void construct(U* element, Args&&... args) {
        ::new (static_cast<void*>(element)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const LargeArrayAllocator&, const LargeArrayAllocator&) { return true; }
};
