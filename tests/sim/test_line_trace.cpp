// The trace for support: every frame of a card read, byte for byte, and what it means.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "link/CardBatch.h"
#include "link/LineTrace.h"
#include "link/MemorySerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/MemoryCard.h"
#include "tests/support/ScratchFolder.h"

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
    const ScratchFolder scratch_{"brovane-trace"};
    const fs::path file = scratch_ / "trace.txt";
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
        PortOverrides overrides;
        overrides.Set(1, "/dev/pts/99");
        port.UsePortOverrides(overrides);
        std::strcpy(port.PortName, "COM1");
        RegisterImage image;
        EXPECT_EQ(ReadCardRegisters(port, image, {}).failedRegister, 1);
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
TEST_F(LineTrace, TheStartUpAsksForATraceOrNothingIsWritten) {
    EXPECT_EQ(TraceAskedFor(""), nullptr);
    auto plain = std::make_unique<MemorySerialLine>();
    const SerialLine* untraced = plain.get();
    EXPECT_EQ(TraceLineInto(std::move(plain), nullptr).get(), untraced);
    EXPECT_FALSE(fs::exists(file));

    std::unique_ptr<SerialLine> traced =
        TraceLineInto(std::make_unique<MemorySerialLine>(), TraceAskedFor(file.string()));
    ASSERT_TRUE(traced->Open("/dev/pts/98"));
    traced->Close();
    traced.reset();
    EXPECT_EQ(WithoutTimes(file), "open /dev/pts/98\nclose\n");
}

// A pipe whose ends the test holds.
class Pipe {
  public:
    Pipe() { EXPECT_EQ(::pipe(ends_), 0); }
    ~Pipe() {
        CloseReader();
        ::close(ends_[1]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    std::string Writer() const { return "/proc/self/fd/" + std::to_string(ends_[1]); }
    void CloseReader() {
        if (ends_[0] >= 0) {
            ::close(ends_[0]);
            ends_[0] = -1;
        }
    }

  private:
    int ends_[2] = {-1, -1};
};

// A trace that cannot be written is told once, in words, and never holds the exchange: the
// card is read whole whatever becomes of its trace.
TEST_F(LineTrace, ATraceThatCannotBeWrittenIsToldOnceAndTheReadGoesOn) {
    IgnoreBrokenPipes();  // as both programs do at start-up
    const std::string fifo = file.string() + ".fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Pipe gone;
    gone.CloseReader();
    Pipe stalled;  // nobody reads it: it fills up
    struct Case {
        std::string what;
        std::string path;
        bool opens;
        std::string reason;
    };
    for (const Case& c : {
             Case{"a FIFO nobody reads", fifo, false, "no program reads from it"},
             Case{"a full disk", "/dev/full", true, "No space left on device"},
             Case{"a reader that went away", gone.Writer(), true, "Broken pipe"},
             Case{"a reader that does not read", stalled.Writer(), true,
                  "its reader does not keep up, and lines were left out"},
         }) {
        std::shared_ptr<TraceSink> sink = TraceAskedFor(c.path);
        EXPECT_EQ(sink->Ok(), c.opens) << c.what;
        CardConfig config;
        config.identity = "KFT018-01-01";
        Card card(config);
        auto memory = std::make_unique<MemorySerialLine>();
        AttachCard(*memory, card);
        SerialPortParameter port(TraceLineInto(std::move(memory), sink));
        port.NameDevice("/dev/pts/97");
        RegisterImage image;
        // A stalled reader's pipe fills after some reads; every read must go through.
        for (int pass = 0; pass < (c.what == "a reader that does not read" ? 40 : 1); ++pass) {
            ASSERT_TRUE(ReadCardRegisters(port, image, {}).Ok()) << c.what;
        }
        EXPECT_EQ(sink->TakeFailure(),
                  std::optional<std::string>("the trace " + c.path + " cannot be written (" +
                                             c.reason + "); the work goes on without it"))
            << c.what;
        EXPECT_EQ(sink->TakeFailure(), std::nullopt) << c.what;
    }
    fs::remove(fifo);
}

}  // namespace
