// Large arrays on Windows: the heap as for anything else (large pages there need a privilege that
// users do not have).
#include "platform/large_array.h"

void* AllocateLargeArray(std::size_t bytes) {
    return ::operator new(bytes);
}

void FreeLargeArray(void* block, std::size_t) {
    ::operator delete(block);
}
