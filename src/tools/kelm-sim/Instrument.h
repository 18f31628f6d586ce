// The simulated meter: its identity, its electrode in the simulated sample,
// the replies it gives to request frames, and the faults it can be told to show.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "Chemistry.h"

namespace kelm::sim {

// What can be made to go wrong with a reply.
enum class Fault {
    None,
    Silent,        // no reply at all
    BadChecksum,   // the last byte is wrong
    WrongStart,    // start byte 0x01 (checksum kept right)
    WrongAddress,  // another network number (checksum kept right)
    WrongZ,        // Z not echoed (checksum kept right)
    WrongR,        // R not echoed (checksum kept right)
    HeaderOnly,    // the four header bytes, then silence
    Vanish,        // the header, then the device disappears
};

struct InstrumentConfig {
    int networkNumber = 0;
    // Texts the meter reports, code page 1251 bytes.
    std::string model = "GAL1011";
    std::string softwareDate = "150306";
    std::string maker = "DARENS";
    int channels = 1;         // channels 1..channels measure the sample
    bool calibrated = true;   // pH and pX answer 4 until calibrated
    bool answerDate = true;   // false: the date request answers error 3
    bool answerMaker = true;  // false: the maker request answers error 3
    int errorCode = 0;        // not 0: every measurement answers this error code
    Fault fault = Fault::None;
    int replyDelayMs = 0;   // before the first byte of a reply
    int gapAfterBytes = 0;  // with gapMs: a pause after this many reply bytes
    int gapMs = 0;
    bool pace = true;            // replies take as long as at 9600 baud
    double timeConstantS = 5.0;  // of the electrode's settling
    double noiseMv = 0.05;       // standard deviation of the EMF noise
    // Sent as it is instead of any computed reply, when not empty.
    std::vector<std::uint8_t> scriptedReply;
};

class Instrument {
public:
    Instrument(const InstrumentConfig& config, const SampleConfig& sample);

    InstrumentConfig& Config() { return config_; }
    const InstrumentConfig& Config() const { return config_; }

    // The total titrant volume added so far, in mL; the electrode starts
    // settling towards the new equilibrium.
    void SetVolume(double ml, double nowS);
    double Volume() const { return volume_; }

    // Lets the electrode settle up to the time `nowS` (seconds, any origin).
    void Advance(double nowS);
    // True once the reading is within 0.05 mV of equilibrium.
    bool Settled() const;
    double SecondsSinceAddition(double nowS) const { return nowS - additionTime_; }

    // Noisy readings as the meter reports them.
    double ReadEmf();
    double ReadPh();
    double ReadConductivity();

    // The reply to a complete request frame addressed to this meter (empty
    // for none), with the configured fault applied.
    std::vector<std::uint8_t> Answer(std::span<const std::uint8_t> request, double nowS);

private:
    std::vector<std::uint8_t> Reply(int status, int z, int r,
                                    std::span<const std::uint8_t> data) const;
    std::vector<std::uint8_t> ErrorReply(int z, int r, int code) const;
    std::vector<std::uint8_t> NumberReply(int z, int r, double value) const;
    std::vector<std::uint8_t> Measure(int z, int r);
    void ApplyFault(std::vector<std::uint8_t>& reply) const;

    InstrumentConfig config_;
    Chemistry chemistry_;
    double volume_ = 0.0;
    double electrodeMv_;
    double conductivity_;
    double lastTime_ = 0.0;
    double additionTime_ = 0.0;
    bool timeKnown_ = false;
    std::mt19937 random_{20061503};
};

// Gathers bytes from the line into request frames: a frame starts with 0x00
// and its length field says how long it is; bytes that cannot start a frame
// are dropped, and a partial frame older than 200 ms is forgotten.
class FrameAssembler {
public:
    // Adds received bytes; returns the frames they complete.
    std::vector<std::vector<std::uint8_t>> Feed(std::span<const std::uint8_t> bytes, double nowS);

private:
    std::vector<std::uint8_t> pending_;
    double lastByteTime_ = 0.0;
};

// "00 01 04 00 10 10 10 35"
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace kelm::sim
