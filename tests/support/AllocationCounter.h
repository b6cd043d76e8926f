#pragma once

#include <atomic>
#include <cstdint>

namespace tq::test {

// Counts the allocations made while counting is on. Link AllocationCounter.cpp into the
// test program: it replaces the global operator new.
inline std::atomic<bool> gCountAllocations{false};
inline std::atomic<int64_t> gAllocations{0};

// Counts the allocations of its lifetime.
class CountAllocations {
public:
    CountAllocations() {
        gAllocations = 0;
        gCountAllocations = true;
    }
    ~CountAllocations() { gCountAllocations = false; }
    int64_t Count() const { return gAllocations.load(); }
};

} // namespace tq::test
