// brovane-cli as a technician in the field uses it: full disks, folders that refuse a file,
// Ctrl-C, cards that stop answering or are unknown, and files saved by other editors.
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>

#include "app/NoAnswerTexts.h"
#include "cli/CardSession.h"
#include "model/FirmwareVariant.h"
#include "tests/cli/cli_helpers.h"
#include "tests/cli/process_helpers.h"

namespace {

using namespace cli_test;
using namespace std::chrono_literals;

class CliField : public Cli {
  protected:
    // A backup of a KFT018 card on COM1, read once.
    std::string Backup(PtyCardServer& card) {
        const std::string file = File("backup.cfg");
        EXPECT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
        card.ClearHistory();
        return file;
    }
    size_t FilesInFolder() const {
        const auto entries = std::filesystem::directory_iterator(Folder());
        return static_cast<size_t>(std::distance(begin(entries), end(entries)));
    }
};

TEST_F(CliField, AnOutputThatCannotBeWrittenIsRefusedBeforeTheCardIsAsked) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    Save(File("plain"), "old bytes");
    std::filesystem::create_directory(File("folder"));
    struct Case {
        std::string target;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {File("missing") + "/x.cfg", "No such file or directory"},
        {File("plain") + "/x.cfg", "Not a directory"},
        {"/proc/brovane-x.cfg", "No such file or directory"},
        {File("folder"), "it is a folder"},
        {"/dev/full", "it is a device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const Outcome read = Run({"read", "COM1", "-o", c.target, "-q"});
        EXPECT_EQ(read.code, kExitCannotWrite);
        EXPECT_EQ(read.err.rfind("brovane-cli: cannot write " + c.target + ": " + c.reason, 0), 0u)
            << read.err;
        EXPECT_NE(read.err.find("; the card was not asked\n"), std::string::npos) << read.err;
        EXPECT_EQ(card.CommandCount(), 0);
    }
    EXPECT_EQ(Contents(File("plain")), "old bytes");
    EXPECT_TRUE(std::filesystem::is_directory(File("folder")));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST_F(CliField, AFullDiskKeepsTheOldBackupWholeAndLeavesNoTemporaryFile) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = Backup(card);
    const std::string old = Contents(file);
    const size_t files = FilesInFolder();
    // The file system takes 100 bytes of a file, then refuses.
    CliProcess cli({"read", "COM1", "-o", file, "-q"}, {"/dev/null", 100});
    const std::optional<int> code = cli.Wait(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, kExitCannotWrite) << cli.Error();
    EXPECT_EQ(cli.Error(), "brovane-cli: cannot write " + file +
                               ": File too large; an old file of that name is unchanged\n");
    EXPECT_EQ(Contents(file), old);
    EXPECT_EQ(FilesInFolder(), files);
}

TEST_F(CliField, StandardOutputThatTakesNothingIsAFailure) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    CliProcess read({"read", "COM1", "-q"}, {"/dev/full"});
    EXPECT_EQ(read.Wait(30s), kExitCannotWrite);
    EXPECT_EQ(read.Error(), "brovane-cli: cannot write standard output: No space left on device\n");

    // A stream that refuses every byte, as show and diff write to it.
    struct Refusing : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    const std::string file = File("backup.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    EXPECT_EQ(RunCli({"show", file}, out, err, false), kExitCannotWrite);
    EXPECT_NE(err.str().find("cannot write standard output"), std::string::npos) << err.str();
}

TEST_F(CliField, CtrlCDuringAWriteReportsExactlyWhatReachedTheCard) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    // A card paced like a real 1200-baud line: the write takes many seconds.
    PtyCardServer& target = StartCard(2, "KFT018-01-01", Filled(0x0303), 0, 1200);
    CliProcess cli({"write", "COM2", file});
    ASSERT_TRUE(cli.WaitForError("writing COM2: ", 30s)) << cli.Error();
    cli.Signal(SIGINT);
    const std::optional<int> code = cli.Wait(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, kExitInterrupted) << cli.Error();

    const std::vector<int> all = ExchangedRegisters(VariantOfFamily(FirmwareFamily::Kft018));
    const std::vector<int> written = target.RegistersWritten();
    ASSERT_FALSE(written.empty());
    ASSERT_LT(written.size(), all.size());
    ASSERT_TRUE(std::equal(written.begin(), written.end(), all.begin()));
    const std::vector<int> rest(all.begin() + static_cast<long>(written.size()), all.end());
    EXPECT_NE(cli.Error().find(
                  "brovane-cli: interrupted\nRun the same brovane-cli write again to finish: the "
                  "card "
                  "holds part of the new configuration (written: " +
                  RegisterRuns(written) + "; not written: " + RegisterRuns(rest) + ").\n"),
              std::string::npos)
        << cli.Error();
}

TEST_F(CliField, ACtrlCDuringAReadKeepsTheOldBackup) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = Backup(card);
    const std::string old = Contents(file);
    card.Stop();
    StartCard(1, "KFT018-01-01", Filled(0x0202), 0, 1200);
    CliProcess cli({"read", "COM1", "-o", file});
    ASSERT_TRUE(cli.WaitForError("reading COM1: ", 30s)) << cli.Error();
    cli.Signal(SIGTERM);
    EXPECT_EQ(cli.Wait(30s), kExitInterrupted) << cli.Error();
    EXPECT_NE(cli.Error().find("interrupted; the card was read in part and nothing was saved"),
              std::string::npos);
    EXPECT_EQ(Contents(file), old);
}

TEST_F(CliField, ACardOfAnUnknownFamilyIsNamedNotCalledACableFault) {
    StartCard(1, "QRX999-01-01", Filled(0x0101));
    const Outcome read = Run({"read", "COM1", "-q"});
    EXPECT_EQ(read.code, kExitCardFailure);
    EXPECT_EQ(read.err, "brovane-cli: the card on COM1 (" + std::string(getenv("BROVANE_COM1")) +
                            ") answered with the identity \"QRX999-01-01\", which this tool does "
                            "not know\n");
}

TEST_F(CliField, VerifyStopsAfterTheIdentificationOnAFamilyMismatch) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = Backup(card);
    PtyCardServer& other = StartCard(2, "KFT026-01-01", Filled(0x0202));
    const Outcome verify = Run({"verify", "COM2", file, "-q"});
    EXPECT_EQ(verify.code, kExitFamilyMismatch);
    EXPECT_NE(verify.err.find("is for KFT018; nothing was read"), std::string::npos) << verify.err;
    EXPECT_EQ(other.CommandCount(), 1);
}

TEST_F(CliField, FilesFromOtherEditorsAreReadOrRefusedInOneLine) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = Backup(card);
    std::string text = Contents(file);
    std::string utf16 = "\xFF\xFE";
    for (const char c : text) {
        utf16 += std::string{c, '\0'};
    }
    Save(File("utf16.cfg"), utf16);
    ASSERT_EQ(::mkfifo(File("fifo.cfg").c_str(), 0600), 0);
    std::filesystem::create_directory(File("folder.cfg"));
    const int before = card.CommandCount();
    struct Case {
        std::string file;
        std::string err;
    };
    const std::vector<Case> refused = {
        {File("utf16.cfg"), File("utf16.cfg") + " is UTF-16 text; save it as UTF-8"},
        {File("fifo.cfg"), File("fifo.cfg") + " is a FIFO (named pipe), not a configuration file"},
        {File("folder.cfg"), File("folder.cfg") + " is a folder, not a configuration file"},
        {"/dev/zero", "/dev/zero is a device, not a configuration file"},
        {File("none.cfg"), "cannot read " + File("none.cfg") + ": No such file or directory"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.file);
        const Outcome write = Run({"write", "COM1", c.file, "-q"});
        EXPECT_EQ(write.code, kExitBadInput);
        EXPECT_EQ(write.err, "brovane-cli: " + c.err + "\n");
    }
    EXPECT_EQ(card.CommandCount(), before);

    // Notepad's "ANSI" with CR LF line ends and a degree sign in a comment.
    std::string ansi;
    for (const char c : text) {
        ansi += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    ansi.replace(0, 0,
                 "# 20 \xB0"
                 "C in the cabinet\r\n");
    Save(File("ansi.cfg"), ansi);
    const Outcome verify = Run({"verify", "COM1", File("ansi.cfg"), "-q"});
    EXPECT_EQ(verify.code, kExitOk) << verify.err;
    EXPECT_EQ(verify.err, "brovane-cli: " + File("ansi.cfg") +
                              " is not UTF-8 text; its lines that are not were read as "
                              "Windows-1252\n");
}

TEST_F(CliField, ParityCodeZeroIsWrittenAndVerifiesAsTheCardShowsIt) {
    PtyCardServer& card = StartCard(1, "KFT015-01-04", Filled(0x0101));
    const std::string file = Backup(card);
    std::string text = Contents(file);
    const size_t parity = text.find("parity = ");
    text.replace(parity, text.find('\n', parity) - parity, "parity = raw 0");
    Save(file, text);
    const Outcome write = Run({"write", "COM1", file, "--verify", "-q"});
    EXPECT_EQ(write.code, kExitOk) << write.err << write.out;
}

TEST_F(CliField, ShowGivesTheProtocolTheSheetShows) {
    RegisterImage registers = Filled(0x0101);
    registers.SetHigh(1, 0x11);
    PtyCardServer& card = StartCard(1, "KFT015-01-04", registers);
    const std::string file = Backup(card);
    const Outcome show = Run({"show", file});
    const size_t row = show.out.find("\nprotocol ");
    ASSERT_NE(row, std::string::npos) << show.out;
    EXPECT_EQ(show.out.substr(row + 15, 28), "KARVO         MODBUS RTU    ") << show.out;
}

TEST_F(CliField, OptionsStandAnywhereAndDashIsStandardOutput) {
    StartCard(1, "KFT015-01-04", Filled(0x0101));
    const std::string file = File("x.cfg");
    EXPECT_EQ(Run({"-o", file, "-q", "read", "COM1"}).code, kExitOk);
    EXPECT_EQ(Run({"read", "--output=" + file, "COM1", "--quiet"}).code, kExitOk);
    const Outcome dash = Run({"read", "COM1", "-o", "-", "-q"});
    EXPECT_EQ(dash.code, kExitOk);
    EXPECT_NE(dash.out.find("family = KFT015"), std::string::npos);
    EXPECT_EQ(Run({"help", "write"}).out.rfind("Usage: brovane-cli write", 0), 0u);
    EXPECT_EQ(Run({"--version"}).out.rfind("brovane-cli 1.", 0), 0u);
    EXPECT_EQ(Run({"--probe", "read", "COM1"}).code, kExitBadInput);
    EXPECT_EQ(Run({"show", "--language", "77", file}).code, kExitNoLanguage);
    const Outcome show = Run({"show", "--", "-x.cfg"});
    EXPECT_EQ(show.err, "brovane-cli: cannot read -x.cfg: No such file or directory\n");
}

}  // namespace

namespace {

using namespace cli_test;
using namespace std::chrono_literals;

// `brovane-cli --trace - write ... 2>&1 | head`: the reader of the trace goes away, and the
// programming goes on to its end with an exit code that says so.
TEST_F(Cli, AReaderOfTheTraceThatGoesAwayLeavesTheProgrammingWhole) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    PtyCardServer& target = StartCard(2, "KFT018-01-01", Filled(0x0303));
    CliProcess cli({"--trace", "-", "write", "COM2", file});
    cli.StopReadingError();
    EXPECT_EQ(cli.Wait(60s), std::optional<int>(kExitOk));
    EXPECT_EQ(target.RegistersWritten(),
              ExchangedRegisters(VariantOfFamily(FirmwareFamily::Kft018)));
}

// A FIFO that no program reads is refused at once, before anything is sent.
TEST_F(Cli, ATraceIntoAFifoNobodyReadsIsRefusedAtOnce) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string fifo = File("trace.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Outcome read = Run({"--trace", fifo, "read", "COM1", "-q"});
    EXPECT_EQ(read.code, kExitCannotWrite);
    EXPECT_EQ(read.err, "brovane-cli: cannot write the trace " + fifo +
                            " (no program reads from it); nothing was sent\n");
    EXPECT_TRUE(card.RegistersRead().empty());
}

}  // namespace
