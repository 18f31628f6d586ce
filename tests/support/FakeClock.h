// A clock the test moves by hand: local time runs only when told to, so the
// timer, drift and midnight rules are tried in test time.
#pragma once

#include "acquisition/Clock.h"

namespace kelm::test {

class FakeClock final : public Clock {
public:
    // 5 March 2006, 09:07:00 unless told otherwise.
    explicit FakeClock(int hour = 9, int minute = 7, int second = 0) { Set(hour, minute, second); }

    LocalTime Now() const override {
        const long long s = seconds_ % 86400;
        const int day = int(seconds_ / 86400);
        return {2006, 3, 5 + day, int(s / 3600), int(s / 60 % 60), int(s % 60)};
    }

    void Set(int hour, int minute, int second) {
        seconds_ = hour * 3600LL + minute * 60LL + second;
    }
    void Advance(int seconds) { seconds_ += seconds; }

    // Seconds since the start of the first day, as a meter's clock.
    double Seconds() const { return double(seconds_); }

private:
    long long seconds_ = 0;
};

}  // namespace kelm::test
