// Local date and time as acquisition needs them: the start of a record and
// the time of day of every tick. Behind an interface so that the timer, drift
// and midnight rules run in milliseconds of test time.
#pragma once

namespace kelm {

struct LocalTime {
    int year = 0;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;

    // hour × 3600 + minute × 60 + second, 0..86399.
    int SecondsOfDay() const { return hour * 3600 + minute * 60 + second; }
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
};

// The computer's clock in the local time zone.
class SystemClock final : public Clock {
public:
    LocalTime Now() const override;
};

}  // namespace kelm
