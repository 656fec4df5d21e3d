// What brovane-cli puts on a screen: progress that fits the terminal it is drawn on, port names
// whose control characters cannot reach the terminal or a file name, and the language file's
// words for a port that cannot be opened.
#include <algorithm>

#include "tests/cli/cli_helpers.h"
#include "tests/cli/process_helpers.h"

namespace {

using namespace cli_test;
using namespace std::chrono_literals;

class CliScreen : public Cli {
  protected:
    void SetUp() override {
        Cli::SetUp();
        for (int n = 1; n <= 7; ++n) {
            setenv(Com(n).c_str(), File("no-device").c_str(), 1);
        }
    }
    void TearDown() override {
        Cli::TearDown();
        for (int n = 1; n <= 7; ++n) {
            unsetenv(Com(n).c_str());
        }
    }
    static std::string Com(int n) { return "BROVANE_COM" + std::to_string(n); }

    std::string SourceFile() {
        PtyCardServer& source = StartCard(7, "KFT018-01-01", Filled(0x0202));
        const std::string file = File("source.cfg");
        EXPECT_EQ(Run({"read", "COM7", "-o", file, "-q"}).code, kExitOk);
        source.Stop();
        return file;
    }
    // Cards behind `count` device names as long as the by-id names of USB adapters; the list.
    std::string LongNamedCards(int count) {
        std::string list;
        for (int n = 1; n <= count; ++n) {
            const std::string device = StartCard(n, "KFT018-01-01", Filled(0x0101)).DevicePath();
            const std::string name =
                File("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port" + std::to_string(n));
            std::filesystem::create_symlink(device, name);
            list += (list.empty() ? "" : ",") + name;
        }
        return list;
    }
};

// The widest line the terminal was given, in characters: the text between carriage returns
// and line ends, without the terminal's control sequences.
size_t WidestDrawnLine(const std::string& drawn) {
    size_t widest = 0;
    size_t width = 0;
    for (size_t at = 0; at < drawn.size(); ++at) {
        const char c = drawn[at];
        if (c == '\r' || c == '\n') {
            width = 0;
        } else if (c == '\x1b') {
            at = drawn.find_first_of("ABCDJK", at);
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            widest = std::max(widest, ++width);
        }
    }
    return widest;
}

TEST_F(CliScreen, TheProgressOfOnePortIsCutToTheTerminalsWidth) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    CliProcess cli({"read", "COM1", "-o", File("card.cfg")},
                   {.terminalColumns = 40, .terminalRows = 24});
    EXPECT_EQ(cli.Wait(30s), kExitOk) << cli.Error();
    EXPECT_NE(cli.Error().find("\rreading COM1 [####"), std::string::npos) << cli.Error();
    EXPECT_LE(WidestDrawnLine(cli.Error()), 39u) << cli.Error();
}

TEST_F(CliScreen, LongPortNamesAreCutSoThatNoLineWraps) {
    const std::string file = SourceFile();
    const std::string list = LongNamedCards(4);
    CliProcess cli({"write", list, file}, {.terminalColumns = 80, .terminalRows = 24});
    EXPECT_EQ(cli.Wait(60s), kExitOk) << cli.Error();
    // Redrawn in place, each line within the 80 columns.
    EXPECT_NE(cli.Error().find("\x1b[4A\r"), std::string::npos) << cli.Error();
    EXPECT_LE(WidestDrawnLine(cli.Error()), 79u) << cli.Error();
}

TEST_F(CliScreen, PortsThatOutnumberTheRowsGetPlainLines) {
    const std::string file = SourceFile();
    for (int n = 1; n <= 4; ++n) {
        StartCard(n, "KFT018-01-01", Filled(0x0101));
    }
    CliProcess cli({"write", "COM1,COM2,COM3,COM4", file},
                   {.terminalColumns = 80, .terminalRows = 4});
    EXPECT_EQ(cli.Wait(60s), kExitOk) << cli.Error();
    EXPECT_EQ(cli.Error().find('\x1b'), std::string::npos) << cli.Error();
    for (const char* port : {"COM1", "COM2", "COM3", "COM4"}) {
        EXPECT_NE(cli.Error().find(std::string("\nwriting ") + port + ": "), std::string::npos)
            << cli.Error();
    }
}

TEST_F(CliScreen, ControlCharactersOfAPortNameAreShownEscapedAndMakeNoFileName) {
    const std::string file = SourceFile();
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string name = File("card\x1b[2J\a");
    std::filesystem::create_symlink(card.DevicePath(), name);
    const std::string shown = File("card\\x1B[2J\\x07");

    const Outcome write = Run({"write", "COM2," + name, file});
    EXPECT_EQ(write.code, kExitCardFailure) << write.err;
    for (const std::string& text : {write.out, write.err}) {
        EXPECT_EQ(text.find_first_of("\x1b\a"), std::string::npos) << text;
    }
    // The device column names the path the port was opened by: the name itself.
    EXPECT_NE(write.out.find("\n" + shown + "  " + shown + "  KFT018-01-01  written"),
              std::string::npos)
        << write.out;
    EXPECT_NE(write.out.find("[" + shown + "] wrote "), std::string::npos) << write.out;
    EXPECT_NE(write.err.find("writing " + shown + ": "), std::string::npos) << write.err;
    const int commands = card.CommandCount();

    const Outcome read = Run({"read", "COM2," + name, "-o", Folder().string(), "-q"});
    EXPECT_EQ(read.code, kExitBadInput);
    EXPECT_EQ(read.err, "brovane-cli: the port name " + shown +
                            " holds control characters, which no file name may; the cards were "
                            "not asked\n");
    EXPECT_EQ(card.CommandCount(), commands);
}

TEST_F(CliScreen, APortThatCannotBeOpenedIsToldInTheLanguageAsked) {
    const Outcome read = Run({"read", "./no-card-here", "--language", "02", "-q"});
    EXPECT_EQ(read.code, kExitCardFailure);
    EXPECT_EQ(read.err,
              "brovane-cli: cannot open ./no-card-here: dispositivo inesistente\nCollegare "
              "l'adattatore o scegliere una porta che l'elenco mostra con un dispositivo.\n");
    const Outcome ports = Run({"ports", "--language", "02"});
    EXPECT_EQ(ports.code, kExitOk);
    EXPECT_NE(ports.out.find("COM1  " + File("no-device") + " nessun dispositivo"),
              std::string::npos)
        << ports.out;
    EXPECT_NE(Run({"--help"}).out.find("why a port cannot be opened"), std::string::npos);
}

}  // namespace
