// brovane-cli on several cards at once, check on one, and the trace of the frames.
#include <algorithm>

#include <signal.h>

#include "tests/cli/process_helpers.h"
#include "tests/cli/several_ports.h"

namespace {

using namespace cli_test;
using namespace std::chrono_literals;

class CliMany : public CliSeveralPorts {};

TEST_F(CliMany, FourCardsAtOnceEachEndAsItsCardAllowsAndTheWorstGivesTheCode) {
    const std::string file = SourceFile(0x0202, 1);
    std::vector<PtyCardServer*> cards;
    for (int com = 1; com <= 4; ++com) {
        cards.push_back(&StartCard(com, "KFT018-01-01", Filled(static_cast<uint16_t>(com))));
    }
    cards[2]->StopAnsweringAfter(0);
    // The identification, then ten writes (registers 0-4 and 7-11); the eleventh is refused.
    cards[3]->InjectFault(CardFault::FailingWrite, 11);

    const Outcome write = Run({"write", "COM1,COM2,COM3,COM4", file, "--verify", "-q"});
    EXPECT_EQ(write.code, kExitCardFailure) << write.err;
    // Each port's results under its name, in the words of one port; then the table.
    EXPECT_EQ(write.out.rfind("[COM1] wrote and verified 46 registers of " + file +
                                  " on COM1 (KFT018-01-01)\n[COM2] wrote and verified 46 "
                                  "registers of " +
                                  file + " on COM2 (KFT018-01-01)\nport  device",
                              0),
              0u)
        << write.out;
    for (const char* port : {"COM1", "COM2"}) {
        EXPECT_NE(Row(write.out, port).find("KFT018-01-01  written and verified"),
                  std::string::npos)
            << write.out;
    }
    EXPECT_NE(Row(write.out, "COM3").find("-             no card"), std::string::npos) << write.out;
    EXPECT_NE(Row(write.out, "COM4")
                  .find("failed at register 12; on the card: 0-4, 7-11; 12 "
                        "refused"),
              std::string::npos)
        << write.out;
    EXPECT_NE(write.err.find("[COM3] brovane-cli: COM3 (" + cards[2]->DevicePath() +
                             "): The card did not answer: nothing came back"),
              std::string::npos)
        << write.err;
    EXPECT_NE(write.err.find("[COM4] The card holds part of the new configuration"),
              std::string::npos)
        << write.err;

    const RegisterImage wanted = Filled(0x0202);
    for (size_t i = 0; i < cards.size(); ++i) {
        SCOPED_TRACE("COM" + std::to_string(i + 1));
        const RegisterImage held = cards[i]->Registers();
        const std::vector<int> written = cards[i]->RegistersWritten();
        for (const int reg : kKft018Registers) {
            const bool reached = std::find(written.begin(), written.end(), reg) != written.end();
            EXPECT_EQ(held.Value(reg),
                      (reached ? wanted : Filled(static_cast<uint16_t>(i + 1))).Value(reg))
                << "register " << reg;
        }
    }
    EXPECT_EQ(cards[0]->RegistersWritten(), kKft018Registers);
    EXPECT_EQ(cards[1]->RegistersRead(), kKft018Registers);
    EXPECT_TRUE(cards[2]->RegistersWritten().empty());
    EXPECT_EQ(cards[3]->RegistersWritten(), (std::vector<int>{0, 1, 2, 3, 4, 7, 8, 9, 10, 11}));
}

TEST_F(CliMany, VerifyOfSeveralPortsNamesWhereEachCardDiffers) {
    const std::string file = SourceFile(0x0202, 1);
    RegisterImage changed = Filled(0x0202);
    changed.SetLow(4, 64);
    StartCard(1, "KFT018-01-01", Filled(0x0202));
    StartCard(2, "KFT018-01-01", changed);
    StartCard(3, "KFT026-01-01", Filled(0x0202));
    const Outcome verify = Run({"verify", "COM1,COM2,COM3", file, "-q"});
    // A difference (4) ranks above another family (3).
    EXPECT_EQ(verify.code, kExitDifferent) << verify.err;
    EXPECT_NE(Row(verify.out, "COM1").find("holds the file"), std::string::npos) << verify.out;
    EXPECT_NE(Row(verify.out, "COM2").find("differs at COM2 address"), std::string::npos)
        << verify.out;
    EXPECT_NE(Row(verify.out, "COM3").find("KFT026-01-01  wrong family (KFT026)"),
              std::string::npos)
        << verify.out;
    EXPECT_NE(verify.out.find("[COM2] COM2 address: "), std::string::npos) << verify.out;
    EXPECT_NE(verify.err.find("[COM3] brovane-cli: the card on COM3 is KFT026-01-01"),
              std::string::npos)
        << verify.err;
}

TEST_F(CliMany, CtrlCStopsEveryPortWithAReportOfEach) {
    const std::string file = SourceFile(0x0202, 1);
    // Cards paced like real 1200-baud lines: the writes take many seconds.
    PtyCardServer& first = StartCard(1, "KFT018-01-01", Filled(0x0101), 0, 1200);
    PtyCardServer& second = StartCard(2, "KFT018-01-01", Filled(0x0303), 0, 1200);
    // A silent card keeps its port in the identification's wait, which the interrupt ends.
    StartCard(3, "KFT018-01-01", Filled(0x0303)).StopAnsweringAfter(0);
    const std::string out = File("table.txt");
    CliProcess cli({"write", "COM1,COM2,COM3", file}, {.standardOutput = out});
    ASSERT_TRUE(cli.WaitForError("writing COM1: ", 30s)) << cli.Error();
    ASSERT_TRUE(cli.WaitForError("writing COM2: ", 30s)) << cli.Error();
    cli.Signal(SIGINT);
    const std::optional<int> code = cli.Wait(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, kExitInterrupted) << cli.Error();
    const std::string table = Contents(out);
    EXPECT_NE(Row(table, "COM3").find("interrupted"), std::string::npos) << table;
    for (PtyCardServer* card : {&first, &second}) {
        const std::vector<int> written = card->RegistersWritten();
        EXPECT_FALSE(written.empty());
        EXPECT_LT(written.size(), kKft018Registers.size());
    }
    for (const char* port : {"[COM1] ", "[COM2] "}) {
        EXPECT_NE(cli.Error().find(std::string(port) +
                                   "Run the same brovane-cli write again to finish: the card "
                                   "holds part of the new configuration (written: 0-"),
                  std::string::npos)
            << cli.Error();
    }
}

TEST_F(CliMany, ReadOfSeveralPortsWritesOneFilePerCardIntoTheFolder) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    // A device path stands in the list as it stands for one port.
    const std::string device = StartCard(2, "KFT026-01-01", Filled(0x0404), 3).DevicePath();
    const std::string name = std::filesystem::path(device).filename().string();
    const Outcome read = Run({"read", "COM1," + device, "-o", Folder().string()});
    EXPECT_EQ(read.code, kExitOk) << read.err;
    // In a log each progress line names its port.
    EXPECT_NE(read.err.find("reading COM1: "), std::string::npos) << read.err;
    EXPECT_NE(read.err.find("reading " + device + ": "), std::string::npos) << read.err;
    const std::vector<std::pair<std::string, std::string>> files = {{"COM1", "COM1.cfg"},
                                                                    {device, name + ".cfg"}};
    for (const auto& [port, file] : files) {
        const std::string path = (Folder() / file).string();
        EXPECT_NE(Row(read.out, port).find("read into " + path), std::string::npos) << read.out;
        EXPECT_EQ(Run({"verify", port, path, "-q"}).code, kExitOk) << port;
    }
    EXPECT_NE(Contents(File(name + ".cfg")).find("Identity KFT026-01-01, hardware value 3."),
              std::string::npos);
}

TEST_F(CliMany, AReadOfSeveralPortsWithoutAPlaceForTheFilesAsksNoCard) {
    PtyCardServer& first = StartCard(1, "KFT018-01-01", Filled(0x0101));
    PtyCardServer& second = StartCard(2, "KFT018-01-01", Filled(0x0202));
    Save(File("plain"), "a file");
    struct Case {
        std::vector<std::string> arguments;
        int code;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"read", "COM1,COM2"}, kExitBadInput, "needs -o FOLDER"},
        {{"read", "COM1,COM2", "-o", "-"}, kExitBadInput, "needs -o FOLDER"},
        {{"read", "COM1,COM1", "-o", Folder().string()}, kExitBadInput, "COM1 stands twice"},
        {{"read", "COM1,", "-o", Folder().string()}, kExitBadInput, "\"\" is no port"},
        {{"read", "COM1,COM2", "-o", File("plain")}, kExitCannotWrite, "it is not a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const Outcome read = Run(c.arguments);
        EXPECT_EQ(read.code, c.code);
        EXPECT_NE(read.err.find(c.error), std::string::npos) << read.err;
    }
    EXPECT_EQ(first.CommandCount(), 0);
    EXPECT_EQ(second.CommandCount(), 0);
}

TEST_F(CliMany, ProgressOnATerminalIsOneLinePerPortRedrawnInPlace) {
    const std::string file = SourceFile(0x0202, 1);
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    StartCard(2, "KFT018-01-01", Filled(0x0303));
    const Outcome write = Run({"write", "COM1,COM2", file}, true);
    EXPECT_EQ(write.code, kExitOk) << write.err;
    EXPECT_EQ(write.err.rfind("COM1: waiting\nCOM2: waiting\n", 0), 0u) << write.err;
    EXPECT_NE(write.err.find("\x1b[2A\rwriting COM1 ["), std::string::npos) << write.err;
    EXPECT_NE(write.err.find("\x1b[1A\rwriting COM2 ["), std::string::npos) << write.err;
}

TEST_F(CliMany, CheckNamesTheCardAndTimesEachExchange) {
    PtyCardServer& card = StartCard(1, "KFT026-01-01", Filled(0x0101), 5);
    const Outcome check = Run({"check", "COM1"});
    EXPECT_EQ(check.code, kExitOk) << check.err;
    EXPECT_EQ(check.out.rfind("COM1 (" + card.DevicePath() +
                                  "): Quorix card KFT026-01-01, family KFT026, hardware value 5\n"
                                  "identification: 12 bytes out, 68 back in ",
                              0),
              0u)
        << check.out;
    EXPECT_NE(check.out.find("; line time 667 ms ("), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("\nhardware value: 12 bytes out, 28 back in "), std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("; line time 333 ms ("), std::string::npos) << check.out;
}

TEST_F(CliMany, CheckSaysWhyALineCarriesNoCard) {
    struct Case {
        CardFault fault;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {CardFault::Loopback, "the request came back: transmit and receive are bridged"},
        {CardFault::Noise, "bytes that are no reply of the card came back ("},
        {CardFault::ShortReply, "a reply cut short (65 of 68 bytes)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
        card.InjectFault(c.fault, 0, 100);
        const Outcome check = Run({"check", "COM1"});
        EXPECT_EQ(check.code, kExitCardFailure);
        EXPECT_EQ(check.out, "");
        EXPECT_EQ(check.err.rfind("brovane-cli: COM1 (" + card.DevicePath() +
                                      "): The card did not answer: " + c.reason,
                                  0),
                  0u)
            << check.err;
        card.Stop();
    }
}

TEST_F(CliMany, TheTraceHoldsTheFramesOfEveryPortUnderItsName) {
    const std::string file = SourceFile(0x0202, 1);
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    StartCard(2, "KFT018-01-01", Filled(0x0303));
    const std::string trace = File("trace.txt");
    ASSERT_EQ(Run({"write", "COM1,COM2", file, "-q", "--trace", trace}).code, kExitOk);
    const std::string text = Contents(trace);
    for (const char* port : {"COM1", "COM2"}) {
        SCOPED_TRACE(port);
        EXPECT_NE(text.find(std::string(port) + "  PC->card  02 31 30 58 49 30 30"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find(std::string(port) + "  card->PC  02 "), std::string::npos);
    }
    EXPECT_EQ(Run({"check", "COM1", "--trace", File("none") + "/trace.txt"}).code,
              kExitCannotWrite);
}

}  // namespace
