#include "acquisition/DriftHistory.h"

#include <algorithm>
#include <cmath>

namespace kelm {

void DriftHistory::Add(int elapsedSeconds, double emfMv) {
    const int kept = std::min(count_, kSlots - 1);
    std::copy_backward(elapsed_.begin(), elapsed_.begin() + kept, elapsed_.begin() + kept + 1);
    std::copy_backward(emf_.begin(), emf_.begin() + kept, emf_.begin() + kept + 1);
    elapsed_[0] = elapsedSeconds;
    emf_[0] = emfMv;
    count_ = kept + 1;
}

bool DriftHistory::Drift(double& mvPerMinute) const {
    if (count_ < 2) {
        return false;
    }
    const int oldest = std::min(count_ - 1, kDriftHistoryLength);
    const int now = elapsed_[0];
    int k = 0;
    while (k < oldest && now - elapsed_[k] < kDriftSpanSeconds) {
        ++k;
    }
    const int span = now - elapsed_[k];
    if (span < kDriftSpanSeconds) {
        return false;
    }
    mvPerMinute = std::fabs(emf_[0] - emf_[k]) * 60.0 / span;
    return true;
}

}  // namespace kelm
