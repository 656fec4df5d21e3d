// The trace for support: every frame of a card read, byte for byte, and what it means.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "link/CardBatch.h"
#include "link/LineTrace.h"
#include "link/MemorySerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/MemoryCard.h"

namespace {

namespace fs = std::filesystem;

// The trace without its first column, the milliseconds, which differ from run to run.
std::string WithoutTimes(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find(" ms  ");
        text += (at == std::string::npos ? line : line.substr(at + 5)) + "\n";
    }
    return text;
}

class LineTrace : public testing::Test {
  protected:
    void TearDown() override {
        std::error_code error;
        fs::remove(file, error);
    }
    fs::path file =
        fs::path(::testing::TempDir()) / ("brovane-trace-" + std::to_string(::getpid()) + ".txt");
};

TEST_F(LineTrace, RecordsEveryFrameOfAShortReadByteForByte) {
    CardConfig config;
    config.identity = "KFT015-01-04";
    config.hardwareBits = 5;
    for (int reg = 0; reg < 5; ++reg) {
        config.registers.SetValue(reg, static_cast<uint16_t>(0x0A01 + reg));
    }
    Card card(config);
    card.InjectFault(CardFault::ShortReply, 3);  // register 1
    auto memory = std::make_unique<MemorySerialLine>();
    AttachCard(*memory, card);
    {
        auto sink = std::make_shared<TraceSink>(file);
        ASSERT_TRUE(sink->Ok());
        SerialPortParameter port(TraceLine(std::move(memory), sink, "COM1"));
        setenv("BROVANE_COM1", "/dev/pts/99", 1);
        std::strcpy(port.PortName, "COM1");
        RegisterImage image;
        EXPECT_EQ(ReadCardRegisters(port, image, {}).failedRegister, 1);
        unsetenv("BROVANE_COM1");
    }
    // The reply to register 1 is cut short: four more reads find nothing.
    const std::string expected =
        "COM1  open /dev/pts/99\n"
        "COM1  PC->card  02 31 30 58 49 30 30 FF FF FF FF 03  XI00 (identify)\n"
        "COM1  card->PC  02 30 31 58 49 33 38 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 "
        "30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 4B 46 54 30 31 35 2D 30 31 2D 30 34 30 30 30 "
        "30 30 30 30 30 30 30 30 30 FF FF FF FF 03  "
        "XI3800000000000000000000000000000000KFT015-01-04000000000000 (identity KFT015-01-04)\n"
        "COM1  PC->card  02 31 30 58 44 30 30 FF FF FF FF 03  XD00 (read hardware bits)\n"
        "COM1  card->PC  02 30 31 58 44 31 30 45 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 FF "
        "FF FF FF 03  XD10E000000000000000 (hardware bits 5)\n"
        "COM1  PC->card  02 31 30 58 47 30 34 31 30 30 30 FF FF FF FF 03  XG041000 (read register "
        "0)\n"
        "COM1  card->PC  02 30 31 58 47 30 34 30 3A 30 31 FF FF FF FF 03  XG040:01 (register value "
        "0x0A01)\n"
        "COM1  PC->card  02 31 30 58 47 30 34 31 30 30 31 FF FF FF FF 03  XG041001 (read register "
        "1)\n"
        "COM1  card->PC  02 30 31 58 47 30 34 30 3A 30 32 FF FF  XG040:02.. (register value "
        "0x0A02)  13 of 16 bytes\n"
        "COM1  card->PC  no reply within 1000 ms\n"
        "COM1  card->PC  no reply within 1000 ms\n"
        "COM1  card->PC  no reply within 1000 ms\n"
        "COM1  card->PC  no reply within 1000 ms\n"
        "COM1  close\n";
    EXPECT_EQ(WithoutTimes(file), expected);
}

// Brovane traces only when asked: without BROVANE_TRACE it writes no file.
TEST_F(LineTrace, TheEnvironmentAsksForATraceOrNothingIsWritten) {
    unsetenv("BROVANE_TRACE");
    auto plain = std::make_unique<MemorySerialLine>();
    const SerialLine* untraced = plain.get();
    EXPECT_EQ(TraceLineWhenAsked(std::move(plain)).get(), untraced);
    EXPECT_FALSE(fs::exists(file));

    setenv("BROVANE_TRACE", file.c_str(), 1);
    std::unique_ptr<SerialLine> traced = TraceLineWhenAsked(std::make_unique<MemorySerialLine>());
    unsetenv("BROVANE_TRACE");
    ASSERT_TRUE(traced->Open("/dev/pts/98"));
    traced->Close();
    traced.reset();
    EXPECT_EQ(WithoutTimes(file), "open /dev/pts/98\nclose\n");
}

}  // namespace
