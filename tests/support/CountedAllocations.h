// Every operator new of a test binary, counted: include this in exactly one
// file of the binary, and compare AllocationCount() before and after the code
// that must allocate nothing.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace kelm::test {
inline std::atomic<long> allocationCount{0};
inline long AllocationCount() {
    return allocationCount.load();
}
}  // namespace kelm::test

void* operator new(std::size_t size) {
    ++kelm::test::allocationCount;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
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
