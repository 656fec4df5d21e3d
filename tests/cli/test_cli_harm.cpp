// What brovane-cli's exit code and files say after harm: a card left part-way among other
// ports, a session that drops, a file size limit, a death in the middle of a read, and backups
// that are links, private or read-only.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/NoAnswerTexts.h"
#include "tests/cli/process_helpers.h"
#include "tests/cli/several_ports.h"

namespace {

using namespace cli_test;
using namespace std::chrono_literals;

class CliHarm : public CliSeveralPorts {
  protected:
    static size_t FilesIn(const std::filesystem::path& folder) {
        const auto entries = std::filesystem::directory_iterator(folder);
        return static_cast<size_t>(std::distance(begin(entries), end(entries)));
    }
};

TEST_F(CliHarm, ACardLeftPartWayOutranksEveryResultButAnInterrupt) {
    const std::string file = SourceFile(0x0202, 7);
    enum class Second { OtherFamily, NoCard };
    struct Case {
        bool firstFailsPartWay;
        Second second;
        int code;
    };
    const std::vector<Case> cases = {
        // Registers 0-4 and 7-11 reached COM1's card; only the identification reached COM2's.
        {true, Second::OtherFamily, kExitCardFailure},
        {true, Second::NoCard, kExitCardFailure},
        // Nothing reached either card: another family is the worse of the two.
        {false, Second::OtherFamily, kExitFamilyMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.second));
        PtyCardServer& first = StartCard(1, "KFT018-01-01", Filled(0x0101));
        if (c.firstFailsPartWay) {
            first.InjectFault(CardFault::FailingWrite, 11);
        } else {
            first.StopAnsweringAfter(0);
        }
        PtyCardServer& second = StartCard(
            2, c.second == Second::OtherFamily ? "KFT026-01-01" : "KFT018-01-01", Filled(0x0303));
        if (c.second == Second::NoCard) {
            second.StopAnsweringAfter(0);
        }
        const Outcome write = Run({"write", "COM1,COM2", file, "-q"});
        EXPECT_EQ(write.code, c.code) << write.out;
        if (c.firstFailsPartWay) {
            EXPECT_NE(Row(write.out, "COM1").find("failed at register 12; on the card: 0-4, 7-11"),
                      std::string::npos)
                << write.out;
        }
        first.Stop();
        second.Stop();
    }
    // The order stands in the help.
    EXPECT_NE(Run({"--help"})
                  .out.find("worst\nfirst: 130 (interrupted), 1 for a card left "
                            "part-way (a write that stopped after some\nregisters "
                            "reached it), 5, 4, 3, then 1 for a card that cannot be "
                            "reached, then 2."),
              std::string::npos);
}

TEST_F(CliHarm, AnInterruptedReadBackSaysThatEveryRegisterWasWritten) {
    const std::string file = SourceFile(0x0202, 7);
    // Paced like a real 1200-baud line, so that the read-back can be interrupted.
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101), 0, 1200);
    const std::string out = File("out.txt");
    CliProcess cli({"write", "COM1", file, "--verify"}, {.standardOutput = out});
    ASSERT_TRUE(cli.WaitForError("reading COM1", 90s)) << cli.Error();
    cli.Signal(SIGINT);
    const std::optional<int> code = cli.Wait(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, kExitInterrupted) << cli.Error();
    EXPECT_EQ(card.RegistersWritten(), kKft018Registers);
    const std::string what = std::to_string(kKft018Registers.size()) + " registers of " + file;
    EXPECT_NE(cli.Error().find("brovane-cli: interrupted while reading the card back; all " + what +
                               " were written to COM1 (KFT018-01-01), not verified\n"),
              std::string::npos)
        << cli.Error();
    EXPECT_EQ(cli.Error().find("nothing was saved"), std::string::npos) << cli.Error();
    EXPECT_EQ(Contents(out), "wrote " + what + " to COM1 (KFT018-01-01); not verified\n");
}

TEST_F(CliHarm, ASessionThatDropsEndsAWriteWithItsPartWayReport) {
    const std::string file = SourceFile(0x0202, 7);
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101), 0, 1200);
    CliProcess cli({"write", "COM1", file});
    ASSERT_TRUE(cli.WaitForError("writing COM1: ", 30s)) << cli.Error();
    cli.Signal(SIGHUP);
    const std::optional<int> code = cli.Wait(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, kExitInterrupted) << cli.Error();
    const std::vector<int> written = card.RegistersWritten();
    ASSERT_FALSE(written.empty());
    EXPECT_LT(written.size(), kKft018Registers.size());
    EXPECT_NE(cli.Error().find(
                  "brovane-cli: interrupted\nRun the same brovane-cli write again to finish: the "
                  "card "
                  "holds part of the new configuration (written: " +
                  RegisterRuns(written)),
              std::string::npos)
        << cli.Error();
}

TEST_F(CliHarm, AFileSizeLimitIsAWriteErrorThatLeavesNoTemporaryFile) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = File("backup.cfg");
    Save(file, "old backup\n");
    const size_t files = FilesIn(Folder());
    // As a shell with "ulimit -f" starts it: SIGXFSZ is not ignored.
    CliProcess cli({"read", "COM1", "-o", file, "-q"},
                   {.fileSizeLimit = 100, .fileSizeSignalIgnored = false});
    const std::optional<int> code = cli.Wait(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, kExitCannotWrite) << cli.Error();
    EXPECT_EQ(cli.Error(), "brovane-cli: cannot write " + file +
                               ": File too large; an old file of that name is unchanged\n");
    EXPECT_EQ(Contents(file), "old backup\n");
    EXPECT_EQ(FilesIn(Folder()), files);
}

TEST_F(CliHarm, NoDeathDuringAReadLeavesATemporaryFile) {
    const std::string file = File("backup.cfg");
    Save(file, "old backup\n");
    const size_t files = FilesIn(Folder());
    StartCard(1, "KFT018-01-01", Filled(0x0101), 0, 1200);
    CliProcess cli({"read", "COM1", "-o", file});
    ASSERT_TRUE(cli.WaitForError("reading COM1: ", 30s)) << cli.Error();
    cli.Signal(SIGKILL);
    EXPECT_EQ(cli.Wait(30s), 128 + SIGKILL);
    EXPECT_EQ(Contents(file), "old backup\n");
    EXPECT_EQ(FilesIn(Folder()), files);
}

TEST_F(CliHarm, ABackupBehindALinkIsReplacedWithItsModeAndOwner) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::filesystem::path backups = Folder() / "backups";
    std::filesystem::create_directory(backups);
    const std::string target = (backups / "card.cfg").string();
    Save(target, "old backup\n");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    // Another user's file keeps its owner where the system lets the user keep it (root).
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 4321, 4322), 0);
    }
    const std::string link = File("card.cfg");
    std::filesystem::create_symlink("backups/card.cfg", link);

    const Outcome read = Run({"read", "COM1", "-o", link, "-q"});
    ASSERT_EQ(read.code, kExitOk) << read.err;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Contents(target).rfind("# Quorix card configuration", 0), 0u) << Contents(target);
    struct stat status = {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    if (root) {
        EXPECT_EQ(status.st_uid, 4321u);
        EXPECT_EQ(status.st_gid, 4322u);
    }
    EXPECT_EQ(FilesIn(backups), 1u);
    EXPECT_EQ(card.CommandCount(), 2 + static_cast<int>(kKft018Registers.size()));
}

TEST_F(CliHarm, AReadOnlyBackupIsRefusedBeforeTheCardIsAsked) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = File("card.cfg");
    Save(file, "old backup\n");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    // Root may write any file, as cp lets it: the refusal is a user's, so a user runs it.
    std::filesystem::permissions(Folder(), std::filesystem::perms::all);
    CliProcess cli({"read", "COM1", "-o", file, "-q"}, {.userId = ::geteuid() == 0 ? 65534 : -1});
    const std::optional<int> code = cli.Wait(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, kExitCannotWrite) << cli.Error();
    EXPECT_EQ(cli.Error(), "brovane-cli: cannot write " + file +
                               ": Permission denied; the card was not asked\n");
    EXPECT_EQ(Contents(file), "old backup\n");
    EXPECT_EQ(card.CommandCount(), 0);
}

TEST_F(CliHarm, OneDeviceUnderTwoNamesIsRefusedBeforeAnythingIsSent) {
    const std::string file = SourceFile(0x0202, 7);
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string device = card.DevicePath();
    const std::string link = File("card-link");
    std::filesystem::create_symlink(device, link);
    struct Case {
        std::string list;
        std::string second;
    };
    const std::vector<Case> cases = {{"COM1," + device, device}, {"COM1," + link, link}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        const Outcome write = Run({"write", c.list, file, "-q"});
        EXPECT_EQ(write.code, kExitBadInput) << write.out;
        EXPECT_EQ(write.err, "brovane-cli: COM1 and " + c.second + " are one device, " + device +
                                 ": name it once; nothing was sent\n");
        EXPECT_EQ(write.out, "");
    }
    EXPECT_EQ(card.CommandCount(), 0);
}

}  // namespace
