#include "PtySimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kelm::sim {

namespace {

// One byte of 8N1 at 9600 baud: ten bits.
constexpr std::chrono::microseconds kByteTime(1'000'000 * 10 / 9600);

void WriteAll(int fd, const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, bytes, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
}

}  // namespace

bool ReadingSessions::NextBegun(double secondsSinceRequest) {
    const bool reading = secondsSinceRequest < kPauseS;
    const bool begun = reading && !reading_;
    reading_ = reading;
    return begun && ++begun_ > 1;
}

PtySimulator::PtySimulator(const InstrumentConfig& config, const SampleConfig& sample)
    : instrument_(config, sample) {}

PtySimulator::~PtySimulator() {
    Stop();
}

bool PtySimulator::Start(std::string& error, const std::filesystem::path& link) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        CloseTerminal();
        return false;
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        CloseTerminal();
        return false;
    }
    devicePath_ = name;
    if (!link.empty()) {
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(link, ec);
        if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
            error = link.string() + " exists and is not a symbolic link";
            CloseTerminal();
            return false;
        }
        std::filesystem::remove(link, ec);
        std::filesystem::create_symlink(devicePath_, link, ec);
        if (ec) {
            error = "cannot link " + link.string() + ": " + ec.message();
            CloseTerminal();
            return false;
        }
        link_ = link;
    }
    // The simulator keeps the terminal's own side open in raw mode, so that
    // between the program's exchanges nothing is echoed or edited, and the
    // terminal stays alive while no program holds it.
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error = "cannot open " + devicePath_ + ": " + std::strerror(errno);
        CloseTerminal();
        return false;
    }
    termios mode{};
    ::tcgetattr(slave_, &mode);
    ::cfmakeraw(&mode);
    ::cfsetispeed(&mode, B9600);
    ::cfsetospeed(&mode, B9600);
    ::tcsetattr(slave_, TCSANOW, &mode);
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void PtySimulator::Stop() {
    running_ = false;
    if (thread_.joinable()) {
        thread_.join();
    }
    CloseTerminal();
}

void PtySimulator::CloseTerminal() {
    if (std::error_code ec;
        !link_.empty() && std::filesystem::read_symlink(link_, ec) == devicePath_) {
        std::filesystem::remove(link_, ec);
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

double PtySimulator::Now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void PtySimulator::With(const std::function<void(Instrument&, double)>& change) {
    const std::lock_guard lock(mutex_);
    change(instrument_, Now());
}

std::vector<std::vector<std::uint8_t>> PtySimulator::ReceivedFrames() const {
    const std::lock_guard lock(mutex_);
    return received_;
}

double PtySimulator::SecondsSinceRequest() const {
    const std::lock_guard lock(mutex_);
    return Now() - lastRequestS_;
}

void PtySimulator::SetLog(std::function<void(std::string_view)> log) {
    const std::lock_guard lock(mutex_);
    log_ = std::move(log);
}

void PtySimulator::Run() {
    std::uint8_t buffer[256];
    while (running_) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0 || (p.revents & POLLIN) == 0) {
            if (p.revents & (POLLHUP | POLLERR)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            continue;
        }
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            continue;
        }
        std::vector<std::vector<std::uint8_t>> frames;
        std::function<void(std::string_view)> log;
        {
            const std::lock_guard lock(mutex_);
            frames = assembler_.Feed({buffer, static_cast<std::size_t>(n)}, Now());
            log = log_;
        }
        for (const std::vector<std::uint8_t>& frame : frames) {
            std::vector<std::uint8_t> reply;
            InstrumentConfig timing;
            {
                const std::lock_guard lock(mutex_);
                received_.push_back(frame);
                lastRequestS_ = Now();
                reply = instrument_.Answer(frame, Now());
                timing = instrument_.Config();
            }
            if (log) {
                log("<- " + HexBytes(frame) + (reply.empty() ? "  (no reply)" : ""));
            }
            Deliver(reply, frame.size(), timing);
            if (vanished_) {
                return;
            }
            if (log && !reply.empty()) {
                log("-> " + HexBytes(reply));
            }
        }
    }
}

void PtySimulator::Deliver(const std::vector<std::uint8_t>& reply, std::size_t requestLength,
                           const InstrumentConfig& timing) {
    if (reply.empty()) {
        return;
    }
    auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(timing.replyDelayMs);
    if (timing.pace) {
        // The request's own time on the line comes before the reply.
        next += kByteTime * static_cast<int>(requestLength);
    }
    std::size_t end = reply.size();
    if (timing.fault == Fault::Vanish) {
        end = std::min<std::size_t>(end, 4);
    }
    std::size_t i = 0;
    while (i < end) {
        // Bytes up to the pause go together unless paced.
        std::size_t chunk = timing.pace ? 1 : end - i;
        if (timing.gapMs > 0 && i < static_cast<std::size_t>(timing.gapAfterBytes)) {
            chunk = std::min(chunk, static_cast<std::size_t>(timing.gapAfterBytes) - i);
        }
        std::this_thread::sleep_until(next);
        WriteAll(master_, reply.data() + i, chunk);
        i += chunk;
        if (timing.pace) {
            next += kByteTime * static_cast<int>(chunk);
        }
        if (timing.gapMs > 0 && i == static_cast<std::size_t>(timing.gapAfterBytes)) {
            next = std::chrono::steady_clock::now() + std::chrono::milliseconds(timing.gapMs);
        }
    }
    if (timing.fault == Fault::Vanish) {
        // Give the header time to be read, then pull the device away.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        vanished_ = true;
        running_ = false;
        CloseTerminal();
    }
}

}  // namespace kelm::sim
