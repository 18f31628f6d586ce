// The run allocates nothing: this test binary counts every operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "CurveFixtures.h"
#include "processing/Processing.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    ++allocations;
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

namespace kelm {
namespace {

TEST(RunProcessing, AllocatesNothing) {
    for (EndPointCriterion criterion :
         {EndPointCriterion::GivenValue, EndPointCriterion::DerivativeExtremum}) {
        auto state = test::AcidBaseTitration(255, 0.1, 12.0);
        state->processing.criterion = criterion;
        const long before = allocations.load();
        EXPECT_EQ(RunProcessing(*state), kProcessingDone);
        EXPECT_EQ(allocations.load() - before, 0);
    }
}

}  // namespace
}  // namespace kelm
