// The run allocates nothing: this test binary counts every operator new.
#include <gtest/gtest.h>

#include "CurveFixtures.h"
#include "processing/Processing.h"
#include "support/CountedAllocations.h"

namespace kelm {
namespace {

TEST(RunProcessing, AllocatesNothing) {
    for (EndPointCriterion criterion :
         {EndPointCriterion::GivenValue, EndPointCriterion::DerivativeExtremum}) {
        auto state = test::AcidBaseTitration(255, 0.1, 12.0);
        state->processing.criterion = criterion;
        const long before = test::AllocationCount();
        EXPECT_EQ(RunProcessing(*state), kProcessingDone);
        EXPECT_EQ(test::AllocationCount() - before, 0);
    }
}

}  // namespace
}  // namespace kelm
