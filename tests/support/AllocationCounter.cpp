#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    if (tq::test::gCountAllocations.load(std::memory_order_relaxed)) {
        tq::test::gAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
