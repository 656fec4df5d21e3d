#include "sim/Card.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "link/CardFrame.h"
#include "sim/FrameLog.h"

namespace {

constexpr char kRefusal[] = "XE00";
constexpr uint8_t kSurplusByte = 0x55;
// What a 1200-baud frame looks like when read at another speed: no STX, no frame.
constexpr uint8_t kNoise[] = {0x80, 0xF8, 0x00, 0xFE, 0x78, 0x86, 0xE0, 0x1E};

std::string WireDigits(unsigned value, int count) {
    std::string digits;
    for (int shift = 4 * (count - 1); shift >= 0; shift -= 4) {
        digits += static_cast<char>(card::WireDigit(value >> shift));
    }
    return digits;
}

bool WellFormed(const std::vector<uint8_t>& frame) {
    if (frame.size() < card::kFrameOverhead) {
        return false;
    }
    return std::all_of(frame.end() - 5, frame.end() - 1,
                       [](uint8_t b) { return b == card::kFill; });
}

}  // namespace

Card::Card(CardConfig config) : config_(std::move(config)) {}

std::vector<CardReplyPiece> Card::Receive(const uint8_t* data, size_t count) {
    std::vector<CardReplyPiece> pieces;
    for (size_t i = 0; i < count && !hungUp_; ++i) {
        const uint8_t byte = data[i];
        if (byte == card::kStx) {
            // A new frame starts; whatever came before it was no frame.
            pending_.assign(1, byte);
            inFrame_ = true;
            continue;
        }
        if (!inFrame_) {
            continue;
        }
        pending_.push_back(byte);
        if (byte == card::kEtx) {
            inFrame_ = false;
            auto answer = Answer(pending_);
            pieces.insert(pieces.end(), answer.begin(), answer.end());
        } else if (pending_.size() >= card::kBufferSize) {
            inFrame_ = false;
        }
    }
    return pieces;
}

void Card::InjectFault(CardFault fault, int commandsFromNow, int count) {
    const int first = commands_ + std::max(commandsFromNow, 0);
    faults_.push_back({fault, first, first + std::max(count, 1) - 1});
}

void Card::StopAnsweringAfter(int commands) {
    silentFrom_ = commands_ + std::max(commands, 0);
}

void Card::ClearHistory() {
    read_.clear();
    written_.clear();
}

std::vector<CardReplyPiece> Card::Answer(const std::vector<uint8_t>& frame) {
    const int command = commands_++;
    const std::string prefix = "quorix-sim #" + std::to_string(command + 1);
    Log(prefix + " PC->card " + DescribeRequest(frame) + " | " + HexBytes(frame));

    const CardFault fault = FaultFor(command);
    if (silentFrom_ >= 0 && command >= silentFrom_) {
        Log(prefix + " no answer (stopped answering)");
        return {};
    }
    if (fault == CardFault::HangUp) {
        hungUp_ = true;
        Log(prefix + " hang-up: the card goes away");
        return {};
    }
    if (fault == CardFault::Silent) {
        Log(prefix + " no answer (fault silent)");
        return {};
    }
    if (fault == CardFault::Loopback) {
        Log(prefix + " loopback: the request comes back");
        return {{frame, 0}};
    }
    if (!WellFormed(frame)) {
        Log(prefix + " no answer (malformed frame)");
        return {};
    }

    const std::string text(frame.begin() + 3, frame.end() - 5);
    // Out of step: the answer that another command would have had.
    std::vector<uint8_t> reply =
        Reply(fault == CardFault::OtherReply ? (text == "XD00" ? "XI00" : "XD00") : text, fault);
    switch (fault) {
        case CardFault::Noise:
            for (size_t i = 0; i < reply.size(); ++i) {
                reply[i] = kNoise[i % sizeof kNoise];
            }
            break;
        case CardFault::WrongEcho:
            reply[card::kEchoOffset + 1] =
                static_cast<uint8_t>(std::tolower(reply[card::kEchoOffset + 1]));
            break;
        case CardFault::ShortReply:
            reply.resize(reply.size() - kShortBy);
            break;
        case CardFault::SurplusBytes:
            reply.insert(reply.end(), kSurplusCount, kSurplusByte);
            break;
        default:
            break;
    }

    std::vector<CardReplyPiece> pieces;
    if (fault == CardFault::SplitReply) {
        const auto half = reply.begin() + static_cast<long>(reply.size() / 2);
        pieces.push_back({{reply.begin(), half}, 0});
        pieces.push_back({{half, reply.end()}, kSplitPauseMs});
    } else {
        pieces.push_back({std::move(reply), 0});
    }
    const std::string faultNote = fault == CardFault::None
                                      ? std::string()
                                      : std::string(" [fault ") + CardFaultName(fault) + "]";
    for (const auto& piece : pieces) {
        Log(prefix + " card->PC" + faultNote +
            (piece.pauseBeforeMs > 0 ? " after " + std::to_string(piece.pauseBeforeMs) + " ms "
                                     : " ") +
            DescribeReply(piece.bytes) + " | " + HexBytes(piece.bytes));
    }
    return pieces;
}

std::vector<uint8_t> Card::Reply(const std::string& text, CardFault fault) {
    if (fault == CardFault::FailingWrite) {
        return ReplyFrame(kRefusal);
    }
    if (text == "XI00") {
        std::string payload = "XI38" + std::string(56, '0');
        const size_t at = card::kIdentityOffset - 3;
        for (size_t i = 0; i < card::kIdentityLength; ++i) {
            payload[at + i] = i < config_.identity.size() ? config_.identity[i] : '\0';
        }
        return ReplyFrame(payload);
    }
    if (text == "XD00") {
        const char bits = static_cast<char>(0x40 | (config_.hardwareBits & 0x1F));
        return ReplyFrame("XD10" + std::string(1, bits) + std::string(15, '0'));
    }
    if (text.size() == 8 && text.rfind("XG041", 0) == 0) {
        const int reg = static_cast<int>(card::WireDigitsValue(text, 5, 3));
        if (reg >= 0 && reg < RegisterImage::kRegisterCount) {
            read_.push_back(reg);
            return ReplyFrame("XG04" + WireDigits(config_.registers.Value(reg), 4));
        }
    }
    if (text.size() == 12 && text.rfind("XS081", 0) == 0) {
        const int reg = static_cast<int>(card::WireDigitsValue(text, 5, 3));
        const long value = card::WireDigitsValue(text, 8, 4);
        if (reg >= 0 && reg < RegisterImage::kRegisterCount && value >= 0) {
            config_.registers.SetValue(reg, static_cast<uint16_t>(value));
            written_.push_back(reg);
            return ReplyFrame("XS00");
        }
    }
    return ReplyFrame(kRefusal);
}

std::vector<uint8_t> Card::ReplyFrame(const std::string& payload) const {
    std::vector<uint8_t> frame(payload.size() + card::kFrameOverhead);
    card::LayOutFrame(payload, frame.data(), frame.size(), '0', '1');
    return frame;
}

CardFault Card::FaultFor(int command) const {
    for (const auto& scheduled : faults_) {
        if (command >= scheduled.first && command <= scheduled.last) {
            return scheduled.fault;
        }
    }
    return CardFault::None;
}

void Card::Log(const std::string& line) const {
    if (!config_.log) {
        return;
    }
    if (logSink_) {
        logSink_(line);
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

const char* CardFaultName(CardFault fault) {
    switch (fault) {
        case CardFault::None:
            return "none";
        case CardFault::Silent:
            return "silent";
        case CardFault::WrongEcho:
            return "wrong-echo";
        case CardFault::ShortReply:
            return "short-reply";
        case CardFault::SplitReply:
            return "split-reply";
        case CardFault::SurplusBytes:
            return "surplus-bytes";
        case CardFault::FailingWrite:
            return "failing-write";
        case CardFault::HangUp:
            return "hang-up";
        case CardFault::Loopback:
            return "loopback";
        case CardFault::Noise:
            return "noise";
        case CardFault::OtherReply:
            return "other-reply";
    }
    return "unknown";
}
