// Any bytes from the card: the commands never crash, never write outside the register image or
// the identity, and each either succeeds with a checked reply or fails with the line closed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "link/CardIdentity.h"
#include "link/MemorySerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// What the card sends for one command: raw bytes, or a frame with the expected echo around
// fuzzed data so that the checks behind the echo are reached too.
void CardAnswers(FuzzedDataProvider& input, MemorySerialLine& line) {
    static const char* const kEchoes[] = {"XI38", "XD10", "XG04", "XS00"};
    const int bursts = input.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < bursts; ++i) {
        const bool afterPause = input.ConsumeBool();
        std::vector<uint8_t> bytes;
        if (input.ConsumeBool()) {
            const std::string echo = kEchoes[input.ConsumeIntegralInRange(0, 3)];
            const size_t length = input.ConsumeIntegralInRange<size_t>(0, 64);
            bytes = {0x02, 0x30, 0x31};
            bytes.insert(bytes.end(), echo.begin(), echo.end());
            const auto data = input.ConsumeBytes<uint8_t>(length);
            bytes.insert(bytes.end(), data.begin(), data.end());
            bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x03});
        } else {
            bytes = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 140));
        }
        line.Deliver(std::move(bytes), afterPause);
    }
    if (input.ConsumeIntegralInRange(0, 31) == 0) {
        line.GoAway();
    }
}

bool EchoIs(const MemorySerialLine& line, const char* echo) {
    return line.lastRead.size() >= 7 && std::memcmp(line.lastRead.data() + 3, echo, 4) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    SerialPortParameter port(std::make_unique<MemorySerialLine>());
    auto& line = static_cast<MemorySerialLine&>(port.Line());
    line.SetResponder([&input](const std::vector<uint8_t>&, MemorySerialLine& target) {
        CardAnswers(input, target);
    });
    std::strcpy(port.PortName, "COM1");
    // Alone on the heap, so that a write past its 96 bytes is caught.
    auto image = std::make_unique<RegisterImage>();

    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
        const RegisterImage imageBefore = *image;
        char identityBefore[sizeof port.Identity];
        std::memcpy(identityBefore, port.Identity, sizeof identityBefore);
        const int variantBefore = port.FirmwareVariant;
        const int hardwareBefore = port.HardwareBits;
        bool ok = false;
        int reg = -1;
        bool readMode = false;

        switch (input.ConsumeIntegralInRange(0, 4)) {
            case 0:
                ok = port.OpenPort();
                Require(ok == port.IsOpen());
                break;
            case 1:
                ok = port.Identify();
                if (ok) {
                    Require(line.lastRead.size() == 68 && line.lastRead[3] == 'X' &&
                            line.lastRead[4] == 'I');
                    Require(card::VariantOfIdentity(port.Identity) == port.FirmwareVariant);
                } else {
                    Require(std::memcmp(identityBefore, port.Identity, sizeof identityBefore) == 0);
                    Require(port.FirmwareVariant == variantBefore);
                }
                break;
            case 2:
                ok = port.ReadHardware();
                if (ok) {
                    Require(line.lastRead.size() == 28 && EchoIs(line, "XD10"));
                    Require(port.HardwareBits == (line.lastRead[7] & 0x1F));
                } else {
                    Require(port.HardwareBits == hardwareBefore);
                }
                break;
            default:
                readMode = input.ConsumeBool();
                reg = input.ConsumeIntegralInRange(-2, 50);
                ok = port.TransferRegister(readMode ? 0 : 1, reg, *image) == 1;
                if (ok) {
                    Require(line.lastRead.size() == (readMode ? 16u : 12u));
                    Require(EchoIs(line, readMode ? "XG04" : "XS00"));
                }
                break;
        }

        // A command either succeeded with the line open or failed with it closed.
        Require(ok == port.IsOpen());
        // The identity stays a string of at most twelve characters, its tail zero.
        for (size_t i = 12; i < sizeof port.Identity; ++i) {
            Require(port.Identity[i] == '\0');
        }
        Require(port.FirmwareVariant >= 0 && port.FirmwareVariant <= 5);
        Require(port.HardwareBits >= 0 && port.HardwareBits <= 31);
        // Only a successful read changes the image, and only its own register.
        for (int r = 0; r < RegisterImage::kRegisterCount; ++r) {
            if (!(ok && readMode && r == reg)) {
                Require(image->Value(r) == imageBefore.Value(r));
            }
        }
    }
    return 0;
}
