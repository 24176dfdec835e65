// Replaces the global operator new and delete with counting versions over malloc. Sizes come from
// malloc_usable_size, so a delete without its size subtracts exactly what its new added.
#include "bench/heap_tracker.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> gInUse{0};
std::atomic<std::int64_t> gPeak{0};

void* Allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const std::int64_t now = gInUse.fetch_add(static_cast<std::int64_t>(malloc_usable_size(p))) +
                             static_cast<std::int64_t>(malloc_usable_size(p));
    std::int64_t peak = gPeak.load(std::memory_order_relaxed);
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void Release(void* p) {
    if (p != nullptr) {
        gInUse.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(p)));
        std::free(p);
    }
}

}  // namespace

std::int64_t HeapBytesInUse() {
    return gInUse.load();
}
std::int64_t HeapPeakBytes() {
    return gPeak.load();
}
void ResetHeapPeak() {
    gPeak.store(gInUse.load());
}

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
