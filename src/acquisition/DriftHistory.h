// The recent EMF readings of the point being measured, newest first, and the
// drift the drift rule judges: the change over at least 30 s, per minute.
#pragma once

#include <array>

namespace kelm {

inline constexpr int kDriftHistoryLength = 60;  // how far back the drift is looked for
inline constexpr int kDriftSpanSeconds = 30;    // the least span a drift is measured over

class DriftHistory {
public:
    // Readings taken before this moment (the previous point's, or none at all)
    // are never compared with the readings of the new point.
    void Restart() { count_ = 0; }

    // A valid reading: seconds since the addition, and the EMF in mV.
    void Add(int elapsedSeconds, double emfMv);

    // The drift in mV/min between the newest reading and the newest one at
    // least 30 s older, among the last 60 since Restart. False when there is
    // none that old.
    bool Drift(double& mvPerMinute) const;

    // Readings since Restart, up to 61.
    int Count() const { return count_; }
    double NewestEmf() const { return emf_[0]; }

private:
    // One slot more than is searched, so that the newest reading can still be
    // compared with one 60 readings older.
    static constexpr int kSlots = kDriftHistoryLength + 1;
    std::array<int, kSlots> elapsed_{};
    std::array<double, kSlots> emf_{};
    int count_ = 0;
};

}  // namespace kelm
