#include "Instrument.h"

#include <bit>
#include <cmath>
#include <cstdio>

#include "link/Protocol.h"

namespace kelm::sim {

namespace {

constexpr double kSettledMv = 0.05;
constexpr double kStalePartialS = 0.2;
constexpr int kLastChannelZ = 0x18;

}  // namespace

Instrument::Instrument(const InstrumentConfig& config, const SampleConfig& sample)
    : config_(config), chemistry_(sample) {
    electrodeMv_ = chemistry_.Emf(0.0);
    conductivity_ = chemistry_.Conductivity(0.0);
}

void Instrument::SetVolume(double ml, double nowS) {
    Advance(nowS);
    volume_ = std::max(0.0, ml);
    additionTime_ = nowS;
}

void Instrument::Advance(double nowS) {
    if (!timeKnown_) {
        timeKnown_ = true;
        lastTime_ = nowS;
        additionTime_ = nowS;
        return;
    }
    const double dt = nowS - lastTime_;
    if (dt <= 0) {
        return;
    }
    lastTime_ = nowS;
    // First-order settling; conductivity cells follow faster than electrodes.
    const double tau = std::max(config_.timeConstantS, 1e-3);
    electrodeMv_ += (chemistry_.Emf(volume_) - electrodeMv_) * (1.0 - std::exp(-dt / tau));
    conductivity_ +=
        (chemistry_.Conductivity(volume_) - conductivity_) * (1.0 - std::exp(-dt / (tau / 5.0)));
}

bool Instrument::Settled() const {
    return std::abs(chemistry_.Emf(volume_) - electrodeMv_) < kSettledMv;
}

double Instrument::ReadEmf() {
    std::normal_distribution<double> noise(0.0, std::max(config_.noiseMv, 0.0));
    return electrodeMv_ + (config_.noiseMv > 0 ? noise(random_) : 0.0);
}

double Instrument::ReadPh() {
    // Calibrated glass electrode: 0 mV at pH 7, the Nernst slope per unit.
    // The redox cell has no glass electrode; it reports its acid medium.
    if (chemistry_.reaction() == Reaction::Redox) {
        return chemistry_.Ph(volume_);
    }
    return 7.0 - ReadEmf() / chemistry_.NernstSlope();
}

double Instrument::ReadConductivity() {
    std::normal_distribution<double> noise(0.0, 0.001);
    return conductivity_ * (1.0 + (config_.noiseMv > 0 ? noise(random_) : 0.0));
}

std::vector<std::uint8_t> Instrument::Reply(int status, int z, int r,
                                            std::span<const std::uint8_t> data) const {
    const int length = static_cast<int>(data.size()) + 4;
    std::vector<std::uint8_t> frame = {0x00,
                                       static_cast<std::uint8_t>(config_.networkNumber),
                                       static_cast<std::uint8_t>(length & 0xFF),
                                       static_cast<std::uint8_t>(length >> 8),
                                       static_cast<std::uint8_t>(status),
                                       static_cast<std::uint8_t>(z),
                                       static_cast<std::uint8_t>(r)};
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(Checksum(frame));
    return frame;
}

std::vector<std::uint8_t> Instrument::ErrorReply(int z, int r, int code) const {
    const std::uint8_t data[] = {static_cast<std::uint8_t>(code)};
    return Reply(kErrorReplyStatus, z, r, data);
}

std::vector<std::uint8_t> Instrument::NumberReply(int z, int r, double value) const {
    const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(value));
    // The fifth byte is reserved and always 0.
    const std::uint8_t data[] = {
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24), 0};
    return Reply(kCommandRead, z, r, data);
}

std::vector<std::uint8_t> Instrument::Measure(int z, int r) {
    const int channel = z - kFirstMeasurementZ + 1;
    if (z > kLastChannelZ || channel > config_.channels) {
        return ErrorReply(z, r, result::kNoParameter);
    }
    if (config_.errorCode != 0) {
        return ErrorReply(z, r, config_.errorCode);
    }
    switch (r) {
        case kREmf:
            return NumberReply(z, r, ReadEmf());
        case kRPh:
            if (!config_.calibrated) {
                return ErrorReply(z, r, result::kNotReady);
            }
            return NumberReply(z, r, ReadPh());
        case kRConductivity:
            if (conductivity_ < 0) {
                return ErrorReply(z, r, result::kNoParameter);
            }
            return NumberReply(z, r, ReadConductivity());
        default:
            return ErrorReply(z, r, result::kNoParameter);
    }
}

std::vector<std::uint8_t> Instrument::Answer(std::span<const std::uint8_t> request, double nowS) {
    if (request.size() < 8 || Checksum(request.first(request.size() - 1)) != request.back() ||
        request[1] != (config_.networkNumber & 0xFF)) {
        return {};  // damaged, or for another meter on the line
    }
    Advance(nowS);
    const int command = request[4];
    const int z = request[5];
    const int r = request[6];
    std::vector<std::uint8_t> reply;
    if (!config_.scriptedReply.empty()) {
        reply = config_.scriptedReply;
    } else if (command != kCommandRead) {
        reply = ErrorReply(z, r, result::kNoParameter);
    } else if (request.size() != 8) {
        reply = ErrorReply(z, r, result::kDataFormat);
    } else if (z >= kFirstMeasurementZ) {
        reply = Measure(z, r);
    } else {
        const auto text = [&](const std::string& s) {
            return Reply(kCommandRead, z, r,
                         {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()});
        };
        if (r != 0) {
            reply = ErrorReply(z, r, result::kNoParameter);
        } else if (z == kZModel) {
            reply = text(config_.model);
        } else if (z == kZSoftwareDate && config_.answerDate) {
            reply = text(config_.softwareDate);
        } else if (z == kZMaker && config_.answerMaker) {
            reply = text(config_.maker);
        } else {
            reply = ErrorReply(z, r, result::kNoParameter);
        }
    }
    ApplyFault(reply);
    return reply;
}

void Instrument::ApplyFault(std::vector<std::uint8_t>& reply) const {
    if (reply.size() < 8) {
        return;
    }
    const auto reseal = [&] { reply.back() = Checksum(std::span(reply).first(reply.size() - 1)); };
    switch (config_.fault) {
        case Fault::None:
        case Fault::Vanish:  // the simulator's port does that one
            break;
        case Fault::Silent:
            reply.clear();
            break;
        case Fault::BadChecksum:
            reply.back() ^= 0x5A;
            break;
        case Fault::WrongStart:
            reply[0] = 0x01;
            reseal();
            break;
        case Fault::WrongAddress:
            reply[1] ^= 0x03;
            reseal();
            break;
        case Fault::WrongZ:
            reply[5] ^= 0x01;
            reseal();
            break;
        case Fault::WrongR:
            reply[6] ^= 0x20;
            reseal();
            break;
        case Fault::HeaderOnly:
            reply.resize(4);
            break;
    }
}

std::vector<std::vector<std::uint8_t>> FrameAssembler::Feed(std::span<const std::uint8_t> bytes,
                                                            double nowS) {
    if (!pending_.empty() && nowS - lastByteTime_ > kStalePartialS) {
        pending_.clear();
    }
    if (!bytes.empty()) {
        lastByteTime_ = nowS;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<std::vector<std::uint8_t>> frames;
    while (!pending_.empty()) {
        if (pending_[0] != 0x00) {
            pending_.erase(pending_.begin());
            continue;
        }
        if (pending_.size() < 4) {
            break;
        }
        const int length = pending_[2] + 256 * pending_[3];
        if (length < 4 || length > kLinkCapacity + 4) {
            pending_.erase(pending_.begin());
            continue;
        }
        const std::size_t total = static_cast<std::size_t>(length) + 4;
        if (pending_.size() < total) {
            break;
        }
        frames.emplace_back(pending_.begin(),
                            pending_.begin() + static_cast<std::ptrdiff_t>(total));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(total));
    }
    return frames;
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        if (i > 0) {
            text += ' ';
        }
        text += digits;
    }
    return text;
}

}  // namespace kelm::sim
