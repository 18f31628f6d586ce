// The simulated meter on a pseudo-terminal: the program opens the terminal's
// device as its serial port, and a thread of this object answers on the other
// side. Used by kelm-sim and, in process, by the link's tests.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Instrument.h"

namespace kelm::sim {

// When a program starts reading the meter again after a pause: Kelm reads
// once a second only while a point awaits its value, so with --auto --follow
// each such start after the first is one addition of titrant.
class ReadingSessions {
public:
    static constexpr double kPauseS = 1.8;  // longer than a tick's second

    // Given now and then the seconds since the last request; true when a
    // reading other than the first has just begun.
    bool NextBegun(double secondsSinceRequest);

private:
    bool reading_ = false;
    int begun_ = 0;
};

class PtySimulator {
public:
    PtySimulator(const InstrumentConfig& config, const SampleConfig& sample);
    ~PtySimulator();
    PtySimulator(const PtySimulator&) = delete;
    PtySimulator& operator=(const PtySimulator&) = delete;

    // Opens the pseudo-terminal and starts answering; false with `error` set
    // when the terminal cannot be made. With a `link`, that path also becomes
    // a symbolic link to the device (only a symbolic link there is replaced,
    // never a file).
    bool Start(std::string& error, const std::filesystem::path& link = {});
    // Stops answering and closes the terminal; its device disappears, and so
    // does the link while it still points at it (a terminal's number is soon
    // given to another, so only the link names this device for certain).
    void Stop();

    // The device, e.g. /dev/pts/3.
    const std::string& DevicePath() const { return devicePath_; }
    // What a program is given: the link when there is one, else the device.
    std::string Path() const { return link_.empty() ? devicePath_ : link_.string(); }

    // Runs `change` on the meter under the simulator's lock (configuration,
    // volume); safe while the simulator answers.
    void With(const std::function<void(Instrument&, double nowS)>& change);

    // Every complete frame received so far, in order.
    std::vector<std::vector<std::uint8_t>> ReceivedFrames() const;
    // Seconds since the last complete frame arrived; very large before the first.
    double SecondsSinceRequest() const;
    // Called on the simulator's thread with a line per received frame.
    void SetLog(std::function<void(std::string_view)> log);
    // True once a Vanish fault has closed the terminal.
    bool Vanished() const { return vanished_; }

private:
    void Run();
    void Deliver(const std::vector<std::uint8_t>& reply, std::size_t requestLength,
                 const InstrumentConfig& timing);
    double Now() const;
    void CloseTerminal();

    Instrument instrument_;
    FrameAssembler assembler_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> received_;
    double lastRequestS_ = -1e9;
    std::function<void(std::string_view)> log_;
    std::string devicePath_;
    std::filesystem::path link_;
    int master_ = -1;
    int slave_ = -1;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> vanished_{false};
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace kelm::sim
