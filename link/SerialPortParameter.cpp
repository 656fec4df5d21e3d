#include "link/SerialPortParameter.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "link/CardIdentity.h"
#include "link/PortMapping.h"
#include "model/RegisterImage.h"

namespace {

constexpr int kMaxReads = 5;
constexpr int kWriteMode = 1;

bool ParitySettingRegister(int reg) {
    return reg >= 1 && reg <= 3;
}

}  // namespace

SerialPortParameter::SerialPortParameter(std::unique_ptr<SerialLine> line)
    : line_(std::move(line)) {}

bool SerialPortParameter::OpenPort() {
    cardDevice_.reset();
    if (!namedDevice_.empty()) {
        // The line makes a relative path absolute when it opens it, as it does for $BROVANE_COMn.
        SerialDevice named;
        named.path = namedDevice_;
        // The console is opened only where $BROVANE_COMn names it.
        if (line_->IsConsole(named.path)) {
            openedRead_ = ReadDevice{named, {}, false};
            refusal_ = OpenFailure::Console;
            return false;
        }
        return OpenDevice(std::move(named), false);
    }
    std::optional<DeviceList> present;
    const std::string path = ResolvePortName(
        PortName,
        [this, &present] {
            present = line_->PresentDevices();
            return *present;
        },
        overrides_);
    SerialDevice device;
    device.path = path;
    bool hadTwin = false;
    if (const SerialDevice* listed = present ? present->Find(path) : nullptr) {
        device = *listed;
        hadTwin = present->CountIdentical(device) > 1;
    }
    return OpenDevice(std::move(device), hadTwin);
}

bool SerialPortParameter::OpenCardDevice() {
    if (!cardDevice_) {
        return OpenPort();
    }
    const SerialDevice& read = cardDevice_->device;
    const bool listed = !read.usbConnection.empty() || !read.byIdName.empty();
    const FoundDevice found =
        FindReadDevice(*cardDevice_, listed ? line_->PresentDevices() : DeviceList(),
                       [this](const std::string& path) { return line_->DeviceBehind(path); });
    if (found.refusal != OpenFailure::None) {
        openedRead_ = *cardDevice_;
        refusal_ = found.refusal;
        return false;
    }
    if (!OpenDevice(found.device, cardDevice_->hadTwin)) {
        return false;
    }
    cardAnswered_ = true;
    return true;
}

bool SerialPortParameter::OpenDevice(SerialDevice device, bool hadTwin) {
    openedRead_.device = std::move(device);
    openedRead_.hadTwin = hadTwin;
    openedRead_.behind.clear();
    refusal_.reset();
    cardAnswered_ = false;
    if (openedRead_.device.path.empty()) {
        refusal_ = OpenFailure::NoSuchDevice;
        return false;
    }
    openedRead_.behind = line_->DeviceBehind(openedRead_.device.path);
    return line_->Open(openedRead_.device.path);
}

OpenFailure SerialPortParameter::LastOpenFailure() const {
    return refusal_ ? *refusal_ : line_->LastOpenFailure();
}

std::string SerialPortParameter::OpenFailureText() const {
    return OpenFailureLine(
        openedRead_.device.path.empty() ? std::string(PortName) : openedRead_.device.path,
        LastOpenFailure());
}

bool SerialPortParameter::Transact(const uint8_t* request, size_t count, uint8_t* reply,
                                   size_t expected) {
    request_.assign(request, request + count);
    firstPiece_.clear();
    lineFault_ = ReplyFault::None;
    lastRequestSent_ = line_->Write(request, count);
    if (!lastRequestSent_) {
        lineFault_ = ReplyFault::NotSent;
        return false;
    }
    // Every read fills the buffer from its start: a reply counts only when one read delivers
    // all of it, and the fifth read ends the exchange whatever it brought.
    for (int attempt = 1;; ++attempt) {
        const int got = line_->Read(reply, expected);
        if (got > 0 && firstPiece_.empty()) {
            firstPiece_.assign(reply, reply + got);
        }
        if (got < 0) {
            lineFault_ = ReplyFault::LineLost;
            return false;
        }
        if (attempt == kMaxReads) {
            return false;
        }
        if (static_cast<size_t>(got) == expected) {
            return true;
        }
    }
}

int SerialPortParameter::ClosePort() {
    const bool wasOpen = line_->IsOpen();
    line_->Close();
    return wasOpen ? 1 : 0;
}

bool SerialPortParameter::Identify() {
    ClearBuffers();
    answeredIdentity_.clear();
    if (!Exchange("XI00", card::kIdentifyReplyLength, "XI")) {
        return Fail();
    }
    char identity[sizeof Identity] = {};
    std::strncpy(identity, reinterpret_cast<const char*>(receive_ + card::kIdentityOffset),
                 card::kIdentityLength);
    answeredIdentity_ = identity;
    // An identity of no known family would leave the variant of another card in force.
    const auto variant = card::VariantOfIdentity(identity);
    if (!variant) {
        return Fail();
    }
    std::memcpy(Identity, identity, sizeof Identity);
    FirmwareVariant = *variant;
    cardDevice_ = openedRead_;
    return true;
}

bool SerialPortParameter::ReadHardware() {
    ClearBuffers();
    if (!Exchange("XD00", card::kHardwareReplyLength, "XD10")) {
        return Fail();
    }
    HardwareBits = receive_[card::kDataOffset] & 0x1F;
    return true;
}

int SerialPortParameter::TransferRegister(int mode, int reg, RegisterImage& image) {
    ClearBuffers();
    if (reg < 0 || reg >= RegisterImage::kRegisterCount) {
        Fail();
        return 0;
    }
    char text[20];
    if (mode == kWriteMode) {
        const uint8_t high = image.High(reg);
        const uint8_t low = image.Low(reg);
        std::snprintf(text, sizeof text, "XS081%3.3X%1.1X%1.1X%1.1X%1.1X", reg, high >> 4,
                      high & 0x0F, low >> 4, low & 0x0F);
        if (!Exchange(text, card::kWriteReplyLength, "XS00")) {
            Fail();
            return 0;
        }
        return 1;
    }
    std::snprintf(text, sizeof text, "XG041%3.3X", reg);
    if (!Exchange(text, card::kReadReplyLength, "XG04")) {
        Fail();
        return 0;
    }
    // The ports COM1 to COM3 cannot show a parity code 0: it arrives as code 1.
    if (ParitySettingRegister(reg) && (receive_[9] & 0x04) == 0) {
        receive_[9] |= 0x02;
    }
    image.SetHigh(reg, card::DecodeWireByte(receive_[7], receive_[8]));
    image.SetLow(reg, card::DecodeWireByte(receive_[9], receive_[10]));
    return 1;
}

void SerialPortParameter::BuildFrame(std::string_view commandText, uint8_t* transmit) {
    std::string text(commandText);
    card::EncodeDigits(text);
    frameLength_ = card::LayOutFrame(text, transmit, card::kBufferSize);
}

bool SerialPortParameter::IsOpen() const {
    return line_->IsOpen();
}

void SerialPortParameter::ClearBuffers() {
    std::memset(transmit_, 0, sizeof transmit_);
    std::memset(receive_, 0, sizeof receive_);
}

bool SerialPortParameter::Exchange(std::string_view commandText, size_t expected,
                                   std::string_view echo) {
    BuildFrame(commandText, transmit_);
    if (Transact(transmit_, frameLength_, receive_, expected) && EchoIs(echo)) {
        diagnosis_ = ReplyDiagnosis();
        cardAnswered_ = true;
        return true;
    }
    if (lineFault_ != ReplyFault::None) {
        diagnosis_ = ReplyDiagnosis();
        diagnosis_.fault = lineFault_;
    } else {
        diagnosis_ = DiagnoseReply(request_, firstPiece_, expected, echo);
    }
    return false;
}

bool SerialPortParameter::EchoIs(std::string_view echo) const {
    return std::memcmp(receive_ + card::kEchoOffset, echo.data(), echo.size()) == 0;
}

bool SerialPortParameter::Fail() {
    line_->Close();
    return false;
}
