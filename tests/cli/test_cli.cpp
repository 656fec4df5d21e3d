// brovane-cli end to end: its commands against virtual cards on pseudo-terminals behind COM1 to
// COM4, with the frames each card received.
#include <gtest/gtest.h>
#include <algorithm>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ProgramDirectory.h"
#include "cli/Commands.h"
#include "model/FirmwareVariant.h"
#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"
#include "tests/cli/cli_helpers.h"
#include "tests/support/ProcessState.h"

namespace {

using namespace cli_test;

TEST_F(Cli, ReadThenWriteVerifyClonesTheExchangedRegistersOfEveryFamily) {
    for (const char* identity : {"KFT018-01-01", "KFT015-01-04", "KFT026-01-01"}) {
        SCOPED_TRACE(identity);
        PtyCardServer& first = StartCard(1, identity, Filled(0x0101));
        PtyCardServer& second = StartCard(2, identity, Filled(0x0F0F));
        const std::string file = File(std::string(identity) + ".cfg");

        const Outcome read = Run({"read", "COM1", "-o", file, "--quiet"});
        ASSERT_EQ(read.code, kExitOk) << read.err;
        EXPECT_EQ(read.out, "");
        EXPECT_EQ(read.err, "");

        const Outcome write = Run({"write", "COM2", file, "--verify", "-q"});
        ASSERT_EQ(write.code, kExitOk) << write.err << write.out;
        EXPECT_NE(write.out.find("wrote and verified"), std::string::npos) << write.out;

        const std::vector<int> exchanged =
            ExchangedRegisters(VariantOfFamily(*FamilyOfName(std::string(identity).substr(0, 6))));
        const RegisterImage original = first.Registers();
        const RegisterImage clone = second.Registers();
        for (const int reg : exchanged) {
            EXPECT_EQ(clone.Value(reg), original.Value(reg)) << "register " << reg;
        }
        // Registers 5 and 6 never travel: the second card keeps its own.
        EXPECT_EQ(clone.Value(5), Filled(0x0F0F).Value(5));
        EXPECT_EQ(clone.Value(6), Filled(0x0F0F).Value(6));
        EXPECT_EQ(second.RegistersWritten(), exchanged);
        // The read-back of --verify: the same registers again, never 5 or 6.
        EXPECT_EQ(second.RegistersRead(), exchanged);
        EXPECT_EQ(first.RegistersRead(), exchanged);
        first.Stop();
        second.Stop();
    }
}

TEST_F(Cli, ReadWritesTheFileToStandardOutput) {
    StartCard(1, "KFT018-01-01", Filled(0x0101), 7);
    const Outcome read = Run({"read", "COM1"});
    ASSERT_EQ(read.code, kExitOk) << read.err;
    EXPECT_NE(read.out.find("# Identity KFT018-01-01, hardware value 7."), std::string::npos);
    EXPECT_NE(read.out.find("[card]\nfamily = KFT018\n"), std::string::npos);
    EXPECT_NE(read.out.find("[Output 8]\n"), std::string::npos);
    // Not a terminal: plain progress lines on standard error, one for the identification and
    // one per tenth of the way.
    EXPECT_EQ(read.err.rfind("reading COM1\nreading COM1: identifying the card\n", 0), 0U)
        << read.err;
    EXPECT_NE(read.err.find("reading COM1: 49/49\n"), std::string::npos) << read.err;
    EXPECT_EQ(std::count(read.err.begin(), read.err.end(), '\n'), 12) << read.err;
}

TEST_F(Cli, AnIdentityWithALineBreakCannotBreakTheFile) {
    StartCard(1, "KFT018-\n[x]\xE9", Filled(0x0101));
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    EXPECT_NE(Contents(file).find("# Identity KFT018-?[x]?, hardware value 0.\n"),
              std::string::npos)
        << Contents(file);
    EXPECT_EQ(Run({"verify", "COM1", file, "-q"}).code, kExitOk);
}

TEST_F(Cli, ABadFileGetsEveryErrorAndTheCardNoFrame) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    std::string text = Contents(file);
    text.replace(text.find("address = "), 10, "address = 256 # was ");
    text.replace(text.find("[Input 2]"), 9, "[Input 9]");
    Save(file, text);
    card.ClearHistory();
    const int before = card.CommandCount();

    for (const char* command : {"write", "verify"}) {
        const Outcome outcome = Run({command, "COM1", file});
        EXPECT_EQ(outcome.code, kExitBadInput) << command;
        EXPECT_NE(outcome.err.find(file + ":"), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find("COM2 address \"256\" is out of range; allowed: 0 to 255"),
                  std::string::npos)
            << outcome.err;
        EXPECT_NE(outcome.err.find("[Input 9]"), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find("[Input 2] is missing"), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(card.CommandCount(), before);
    EXPECT_TRUE(card.RegistersWritten().empty());
}

TEST_F(Cli, AFamilyMismatchWritesNothing) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = File("kft018.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    PtyCardServer& other = StartCard(2, "KFT026-01-01", Filled(0x0202));
    const Outcome write = Run({"write", "COM2", file, "-q"});
    EXPECT_EQ(write.code, kExitFamilyMismatch);
    EXPECT_NE(write.err.find("KFT026"), std::string::npos) << write.err;
    EXPECT_NE(write.err.find("nothing was written"), std::string::npos) << write.err;
    // Only the identification reached the card.
    EXPECT_EQ(other.CommandCount(), 1);
    EXPECT_TRUE(other.RegistersWritten().empty());
    EXPECT_EQ(other.Registers(), Filled(0x0202));
}

TEST_F(Cli, AWriteThatFailsPartWayNamesTheRegistersOnTheCard) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    PtyCardServer& target = StartCard(2, "KFT018-01-01", Filled(0x0303));
    // The identification, then ten writes (registers 0-4 and 7-11); the eleventh is refused.
    target.InjectFault(CardFault::FailingWrite, 11);
    const Outcome write = Run({"write", "COM2", file, "-q"});
    EXPECT_EQ(write.code, kExitCardFailure);
    // The card answered the request for register 12 with its refusal: 12 is not written.
    // One port is told in the words of each of several ports.
    EXPECT_NE(write.err.find("\nThe card holds part of the new configuration (written: 0-4, "
                             "7-11; refused: 12; not written: 13-47).\n"),
              std::string::npos)
        << write.err;
    EXPECT_EQ(target.RegistersWritten(), (std::vector<int>{0, 1, 2, 3, 4, 7, 8, 9, 10, 11}));
}

TEST_F(Cli, VerifyReportsEachDifferenceInWords) {
    RegisterImage registers = Filled(0x0101);
    registers.SetValue(4, 0xFF20);
    PtyCardServer& card = StartCard(1, "KFT018-01-01", registers);
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    EXPECT_EQ(Run({"verify", "COM1", file, "-q"}).code, kExitOk);
    card.Stop();

    registers.SetLow(4, 64);
    StartCard(1, "KFT018-01-01", registers);
    const Outcome verify = Run({"verify", "COM1", file, "-q"});
    EXPECT_EQ(verify.code, kExitDifferent);
    EXPECT_EQ(verify.out, "COM2 address: 32 in the file, 64 in the card\n");
}

TEST_F(Cli, ASilentCardIsALineFailure) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    card.StopAnsweringAfter(0);
    const Outcome read = Run({"read", "COM1", "-q"});
    EXPECT_EQ(read.code, kExitCardFailure);
    EXPECT_NE(read.err.find(": The card did not answer: nothing came back"), std::string::npos)
        << read.err;
    EXPECT_EQ(read.out, "");
}

TEST_F(Cli, ProbeFindsTheCardAmongSilentPortsInOneTimeout) {
    StartCard(1, "KFT018-01-01", RegisterImage{}).StopAnsweringAfter(0);
    StartCard(2, "KFT026-01-01", RegisterImage{}, 5);
    StartCard(3, "KFT015-01-04", RegisterImage{}).StopAnsweringAfter(0);
    setenv("BROVANE_COM4", File("no-such-device").c_str(), 1);
    // Every name the probe can reach leads to a virtual card or to nothing.
    for (int n = 5; n <= 7; ++n) {
        setenv(("BROVANE_COM" + std::to_string(n)).c_str(), File("no-such-device").c_str(), 1);
    }
    const Outcome ports = Run({"ports", "--probe"});
    EXPECT_EQ(ports.code, kExitOk);
    std::istringstream lines(ports.out);
    std::vector<std::string> line(7);
    for (std::string& each : line) {
        std::getline(lines, each);
    }
    EXPECT_EQ(line[0].rfind("COM1", 0), 0u);
    EXPECT_NE(line[0].find("no Quorix card answers"), std::string::npos) << ports.out;
    EXPECT_NE(line[1].find("Quorix card KFT026-01-01, family KFT026, hardware value 5"),
              std::string::npos)
        << ports.out;
    EXPECT_NE(line[2].find("no Quorix card answers"), std::string::npos) << ports.out;
    EXPECT_NE(line[3].find(File("no-such-device") + " "), std::string::npos) << ports.out;
    EXPECT_NE(line[3].find("no device"), std::string::npos) << ports.out;
}

TEST_F(Cli, ProgressIsABarOnATerminalAndNothingWhenQuiet) {
    StartCard(1, "KFT015-01-04", Filled(0x0101));
    const Outcome bar = Run({"read", "COM1"}, true);
    ASSERT_EQ(bar.code, kExitOk);
    EXPECT_NE(bar.err.find("\rreading COM1 ["), std::string::npos) << bar.err;
    EXPECT_NE(bar.err.find("] 8/8\n"), std::string::npos) << bar.err;
    const Outcome quiet = Run({"read", "COM1", "--quiet"}, true);
    EXPECT_EQ(quiet.err, "");
    // The first line names the time of the read, which differs between the two.
    const auto body = [](const std::string& out) { return out.substr(out.find('\n')); };
    EXPECT_EQ(body(quiet.out), body(bar.out));
}

TEST_F(Cli, DiffAndShowWorkOnFilesAlone) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string a = File("a.cfg");
    const std::string b = File("b.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", a, "-q"}).code, kExitOk);
    std::string text = Contents(a);
    ASSERT_NE(text.find("address = 145\n"), std::string::npos) << text;
    text.replace(text.find("address = 145"), 13, "address = 7");
    Save(b, text);
    const Outcome same = Run({"diff", a, a});
    EXPECT_EQ(same.code, kExitOk);
    const Outcome diff = Run({"diff", a, b});
    EXPECT_EQ(diff.code, kExitDifferent);
    EXPECT_EQ(diff.out, "A: " + a + "\nB: " + b + "\nCOM2 address: 145 in A, 7 in B\n");

    const Outcome show = Run({"show", a});
    EXPECT_EQ(show.code, kExitOk);
    EXPECT_NE(show.out.find("Quorix KFT018"), std::string::npos);
    EXPECT_NE(show.out.find("Input 8"), std::string::npos);
    EXPECT_NE(show.out.find("Output 8  "), std::string::npos);
}

TEST_F(Cli, HelpForTheProgramAndEveryCommand) {
    const Outcome program = Run({"--help"});
    EXPECT_EQ(program.code, kExitOk);
    EXPECT_EQ(program.out.rfind("Usage: brovane-cli", 0), 0u);
    for (const char* command : {"ports", "read", "write", "verify", "diff", "show"}) {
        const Outcome help = Run({command, "--help"});
        EXPECT_EQ(help.code, kExitOk) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: brovane-cli ") + command, 0), 0u) << help.out;
    }
    EXPECT_EQ(Run({}).code, kExitBadInput);
    EXPECT_EQ(Run({"read"}).code, kExitBadInput);
    EXPECT_EQ(Run({"fly"}).code, kExitBadInput);
    EXPECT_EQ(Run({"read", "COM1", "--bogus"}).code, kExitBadInput);
    EXPECT_EQ(Run({"read", "COM123"}).code, kExitBadInput);
}

}  // namespace
