// write --verify --record: a commissioning record per card, checked against the card's
// registers before and after, and what it says when the write or the record fails.
#include <sys/resource.h>

#include <csignal>
#include <regex>

#include "cli/CardFileText.h"
#include "cli/CommissioningRecord.h"
#include "link/SerialPlatform.h"
#include "tests/cli/process_helpers.h"
#include "tests/cli/several_ports.h"

namespace cli_test {
namespace {

using namespace std::chrono_literals;

// A card as a technician finds it: ports set, COM2 at bus address 32, outputs assigned.
RegisterImage FoundImage() {
    RegisterImage image;
    const std::pair<int, uint16_t> registers[] = {
        {0, 0x0001},  {1, 0x0125},  {2, 0x0144},  {3, 0x0021},  {4, 0xFF20},
        {7, 0xA982},  {8, 0x000F},  {9, 0x0001},  {10, 0xFF00}, {11, 0x0804},
        {13, 0x00F0}, {15, 0x0008}, {17, 0x0002}, {23, 0x8100},
    };
    for (const auto& [reg, value] : registers) {
        image.SetValue(reg, value);
    }
    return image;
}

// The same card with COM2 at bus address 12.
RegisterImage LeftImage() {
    RegisterImage image = FoundImage();
    image.SetValue(4, 0xFF0C);
    return image;
}

// SHA-256 of LeftImage's 96 bytes, high byte first, computed apart from the program
// (sha256sum of the bytes).
constexpr const char* kLeftDigest =
    "ca0a55afab3161b2332fd293892ef4b98ed69459170c4dcce115ed677b67763a";

class CliRecord : public CliSeveralPorts {
  protected:
    // The file the card is written with: the card as found, read from it, with COM2 at 12.
    std::string WantedFile(PtyCardServer& card) {
        const std::string found = File("found.cfg");
        EXPECT_EQ(Run({"read", "COM1", "-o", found, "-q"}).code, kExitOk);
        std::string text = Contents(found);
        const size_t at = text.find("address = 32\n");
        EXPECT_NE(at, std::string::npos) << text;
        text.replace(at, 12, "address = 12");
        const std::string wanted = File("wanted.cfg");
        Save(wanted, text);
        card.ClearHistory();
        return wanted;
    }
    // The file of FoundImage with COM2 at 12, as `read` writes it, without asking a card.
    static std::string WantedText() {
        CardConfiguration configuration{FirmwareFamily::Kft018, LeftImage()};
        return CardFileText(configuration, EventNames{}, "COM1", "KFT018-01-01", 0);
    }
    std::string Records() {
        const std::string folder = File("records");
        std::filesystem::create_directories(folder);
        return folder;
    }
    // The names of the files in `folder`, sorted.
    static std::vector<std::string> Names(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // The command with files of at most 1 KiB: the card's lock files fit, a record's page does
    // not (EFBIG, not a signal).
    Outcome UnderSizeLimit(const std::vector<std::string>& arguments) {
        rlimit saved{};
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 1024;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        Outcome outcome = Run(arguments);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        return outcome;
    }
    static bool HasLine(const std::string& text, const std::string& line) {
        return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
    }
};

TEST_F(CliRecord, HoldsTheCardAsFoundAndAsLeftWithEachChangeMarked) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", FoundImage());
    const std::string wanted = WantedFile(card);
    const std::string folder = Records();

    const Outcome write = Run({"write", "COM1", wanted, "--verify", "--record", folder,
                               "--operator", "Ada <&> \"Lovelace\"", "-q"});
    ASSERT_EQ(write.code, kExitOk) << write.err;
    EXPECT_EQ(card.Registers(), LeftImage());
    EXPECT_EQ(ImageDigest(card.Registers()), kLeftDigest);

    const std::vector<std::string> names = Names(folder);
    ASSERT_EQ(names.size(), 2u);
    const std::regex name("KFT018-01-01_COM1_[0-9]{8}T[0-9]{6}Z\\.(html|txt)");
    for (const std::string& each : names) {
        EXPECT_TRUE(std::regex_match(each, name)) << each;
    }
    EXPECT_EQ(names[0].substr(0, names[0].size() - 5), names[1].substr(0, names[1].size() - 4));
    EXPECT_NE(write.out.find("record: " + folder + "/" + names[1].substr(0, names[1].size() - 4) +
                             ".html, .txt\n"),
              std::string::npos)
        << write.out;

    const std::string text = Contents(folder + "/" + names[1]);
    const std::vector<std::string> lines = {
        "Commissioning record",
        "Card:                       KFT018-01-01",
        "Family:                     KFT018",
        "Hardware value:             0",
        "Port:                       COM1",
        "Device:                     " + card.DevicePath(),
        "Persistent device name:     ---",
        "Operator:                   Ada <&> \"Lovelace\"",
        "Program:                    " +
            Run({"--version"}).out.substr(0, Run({"--version"}).out.size() - 1),
        "Language:                   English (00)",
        "Result:                     written and verified",
        "SHA-256 of the 96 register bytes as left:",
        kLeftDigest,
        "Field                       COM0          COM1          COM2          COM3",
        "protocol      As found      NEXPR         MODBUS RTU    MODBUS RTU    NEXPR",
        "              As left       NEXPR         MODBUS RTU    MODBUS RTU    NEXPR",
        "baud          As found      1200          19200         9600          1200",
        "              As left       1200          19200         9600          1200",
        "address       As found      ---           ---           32            ---           "
        "changed",
        "              As left       ---           ---           12            ---           "
        "changed",
        "Output 1      As found      Normal ON",
        "                            17 Mains failure",
        "Signature:",
    };
    for (const std::string& line : lines) {
        EXPECT_TRUE(HasLine(text, line)) << "no line \"" << line << "\" in\n" << text;
    }
    // Only the address changed: no other line says so.
    size_t marks = 0;
    for (size_t at = text.find("changed"); at != std::string::npos;
         at = text.find("changed", at + 1)) {
        ++marks;
    }
    EXPECT_EQ(marks, 2u) << text;

    const std::string page = Contents(folder + "/" + names[0]);
    EXPECT_NE(page.find("<td>Ada &lt;&amp;&gt; &quot;Lovelace&quot;</td>"), std::string::npos);
    EXPECT_EQ(page.find("<&>"), std::string::npos);
    EXPECT_NE(page.find("@page { size: A4;"), std::string::npos);
    EXPECT_NE(page.find(std::string("<td class=\"digest\">") + kLeftDigest + "</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<tbody class=\"changed\"><tr><th rowspan=\"2\">address</th><td>As "
                        "found</td><td>---</td><td>---</td><td>32</td><td>---</td><td "
                        "rowspan=\"2\" class=\"mark\">changed</td></tr>\n<tr><td>As "
                        "left</td><td>---</td><td>---</td><td>12</td><td>---</td></tr></tbody>"),
              std::string::npos)
        << page;
}

TEST_F(CliRecord, AWriteThatStopsPartWayLeavesARecordOfWhatTheCardIsKnownToHold) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", FoundImage());
    const std::string wanted = WantedFile(card);
    // The identification, the read as found (identification, hardware value, 46 registers),
    // then the writes of registers 0-4; the sixth write, register 7, is refused.
    card.InjectFault(CardFault::FailingWrite, 54);
    const std::string folder = Records();

    const Outcome write =
        Run({"write", "COM1", wanted, "--verify", "--record", folder, "--operator", "Ada", "-q"});
    EXPECT_EQ(write.code, kExitCardFailure) << write.err;
    const std::vector<std::string> names = Names(folder);
    ASSERT_EQ(names.size(), 2u) << write.err;
    const std::string text = Contents(folder + "/" + names[1]);
    for (const std::string& line : {
             std::string("Result:                     failed at register 7; on the card: 0-4; 7 "
                         "refused"),
             std::string("As left: not read back: what the card is known to hold"),
             std::string("SHA-256 of the 96 register bytes as left:"),
             std::string("---"),
             // Register 4, COM2's address, reached the card before the write stopped.
             std::string("address       As found      ---           ---           32            "
                         "---           changed"),
             std::string("              As left       ---           ---           12            "
                         "---           changed"),
         }) {
        EXPECT_TRUE(HasLine(text, line)) << "no line \"" << line << "\" in\n" << text;
    }
    EXPECT_NE(text.find("part of the new configuration"), std::string::npos) << text;
    EXPECT_EQ(card.Registers(), LeftImage());
}

TEST_F(CliRecord, ARecordThatCannotBeWrittenIsToldAndTheCardsResultStands) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", FoundImage());
    const std::string wanted = WantedFile(card);
    const std::string folder = Records();
    const Outcome write =
        UnderSizeLimit({"write", "COM1", wanted, "--verify", "--record", folder, "-q"});

    EXPECT_EQ(write.code, kExitCannotWrite) << write.err;
    EXPECT_EQ(card.Registers(), LeftImage());
    EXPECT_NE(write.out.find("wrote and verified 46 registers of " + wanted +
                             " on COM1 (KFT018-01-01)\n"),
              std::string::npos)
        << write.out;
    EXPECT_NE(
        write.err.find("brovane-cli: cannot write the record " + folder + "/KFT018-01-01_COM1_"),
        std::string::npos)
        << write.err;
    EXPECT_NE(write.err.find("; the card's result stands as told\n"), std::string::npos)
        << write.err;
    EXPECT_TRUE(Names(folder).empty());
}

TEST_F(CliRecord, ACardLeftPartWayOutranksARecordNotWritten) {
    PtyCardServer& first = StartCard(1, "KFT018-01-01", FoundImage());
    const std::string wanted = WantedFile(first);
    PtyCardServer& second = StartCard(2, "KFT018-01-01", FoundImage());
    // As in the part-way record: the sixth write, register 7, is refused.
    second.InjectFault(CardFault::FailingWrite, 54);
    const std::string folder = Records();
    const Outcome write =
        UnderSizeLimit({"write", "COM1,COM2", wanted, "--verify", "--record", folder, "-q"});
    EXPECT_EQ(write.code, kExitCardFailure) << write.err;
    EXPECT_NE(Row(write.out, "COM1").find("KFT018-01-01  written and verified; no record"),
              std::string::npos)
        << write.out;
    EXPECT_NE(Row(write.out, "COM2")
                  .find("KFT018-01-01  failed at register 7; on the card: 0-4; 7 refused; no "
                        "record"),
              std::string::npos)
        << write.out;
    EXPECT_EQ(first.Registers(), LeftImage());
    EXPECT_TRUE(Names(folder).empty());
}

TEST_F(CliRecord, EachOfSeveralPortsGetsARecordOfItsOwn) {
    StartCard(1, "KFT018-01-01", FoundImage());
    StartCard(2, "KFT018-01-01", FoundImage());
    const std::string wanted = File("wanted.cfg");
    EXPECT_EQ(Run({"read", "COM1", "-o", wanted, "-q"}).code, kExitOk);
    const Outcome write =
        Run({"write", "COM1,COM2", wanted, "--verify", "--record", Records(), "-q"});
    EXPECT_EQ(write.code, kExitOk) << write.err;
    EXPECT_EQ(Names(File("records")).size(), 4u);
    EXPECT_NE(write.out.find("[COM2] record: "), std::string::npos) << write.out;
}

// A batch from a manifest: each card's record holds what that card got, its own address.
TEST_F(CliRecord, EachCardOfAManifestIsRecordedWithItsOwnFields) {
    StartCard(1, "KFT018-01-01", FoundImage());
    StartCard(2, "KFT018-01-01", FoundImage());
    const std::string wanted = File("wanted.cfg");
    EXPECT_EQ(Run({"read", "COM1", "-o", wanted, "-q"}).code, kExitOk);
    const std::string manifest = File("cards.csv");
    Save(manifest, "port,COM2 address\nCOM1,41\nCOM2,42\n");
    const std::string folder = Records();
    const Outcome write =
        Run({"write", "--manifest", manifest, wanted, "--verify", "--record", folder, "-q"});
    ASSERT_EQ(write.code, kExitOk) << write.err;
    const std::vector<std::string> names = Names(folder);
    ASSERT_EQ(names.size(), 4u);
    const struct {
        const char* port;
        const char* address;
    } cards[] = {{"COM1", "41"}, {"COM2", "42"}};
    for (const auto& card : cards) {
        const auto txt = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
            return name.find(std::string("_") + card.port + "_") != std::string::npos &&
                   name.size() > 4 && name.substr(name.size() - 4) == ".txt";
        });
        ASSERT_NE(txt, names.end()) << card.port;
        const std::string text = Contents(folder + "/" + *txt);
        const std::string left =
            std::string("              As left       ---           ---           ") + card.address;
        EXPECT_NE(text.find(left), std::string::npos) << text;
        EXPECT_TRUE(HasLine(text, "Result:                     written and verified")) << text;
    }
}

TEST_F(CliRecord, NothingIsSentWhenTheRecordCannotBeKept) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", FoundImage());
    const std::string wanted = WantedFile(card);
    const std::string notFolder = File("wanted.cfg");
    const int commandsBefore = card.CommandCount();
    struct Case {
        std::vector<std::string> arguments;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"write", "COM1", wanted, "--record", Records()},
         kExitBadInput,
         "brovane-cli: --record needs --verify: a record tells what the card holds as read "
         "back; nothing was sent\n"},
        {{"write", "COM1", wanted, "--verify", "--operator", "Ada"},
         kExitBadInput,
         "brovane-cli: --operator names who signs a record: give --record FOLDER too; nothing "
         "was sent\n"},
        {{"write", "COM1", wanted, "--verify", "--record", notFolder},
         kExitCannotWrite,
         "brovane-cli: cannot write records into " + notFolder +
             ": it is not a folder; nothing was sent\n"},
        {{"write", "COM1", wanted, "--verify", "--record", File("missing")},
         kExitCannotWrite,
         "brovane-cli: cannot write records into " + File("missing") +
             ": it is not a folder; nothing was sent\n"},
        {{"read", "COM1", "--record", Records()},
         kExitBadInput,
         "brovane-cli: --record is an option of write, not of read\n"},
    };
    for (const Case& each : cases) {
        const Outcome outcome = Run(each.arguments);
        EXPECT_EQ(outcome.code, each.code) << outcome.err;
        EXPECT_EQ(outcome.err, each.message);
    }
    EXPECT_EQ(card.CommandCount(), commandsBefore);
    EXPECT_EQ(card.Registers(), FoundImage());
}

TEST_F(CliRecord, ACardThatCannotBeReadAsFoundIsNotWritten) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", FoundImage());
    const std::string wanted = WantedFile(card);
    // The identification, then the read as found stops answering at its tenth command.
    card.InjectFault(CardFault::Silent, 10, 100);
    const std::string folder = Records();
    const Outcome write = Run({"write", "COM1", wanted, "--verify", "--record", folder, "-q"});
    EXPECT_EQ(write.code, kExitCardFailure) << write.err;
    EXPECT_NE(write.err.find("brovane-cli: the card on COM1 could not be read as found; nothing "
                             "was written and no record kept\n"),
              std::string::npos)
        << write.err;
    EXPECT_TRUE(card.RegistersWritten().empty());
    EXPECT_EQ(card.Registers(), FoundImage());
    EXPECT_TRUE(Names(folder).empty());
}

TEST_F(CliRecord, HeadingsFollowTheLanguage) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", FoundImage());
    const std::string wanted = WantedFile(card);
    const std::string folder = Records();
    ASSERT_EQ(
        Run({"write", "COM1", wanted, "--verify", "--record", folder, "--language", "01", "-q"})
            .code,
        kExitOk);
    const std::vector<std::string> names = Names(folder);
    ASSERT_EQ(names.size(), 2u);
    const std::string text = Contents(folder + "/" + names[1]);
    for (const char* line : {"Inbetriebnahmeprotokoll", "Karte:                      KFT018-01-01",
                             "Sprache:                    Deutsch (01)", "Unterschrift:"}) {
        EXPECT_TRUE(HasLine(text, line)) << "no line \"" << line << "\" in\n" << text;
    }
    EXPECT_NE(text.find("Hinterlassen "), std::string::npos) << text;
}

TEST_F(CliRecord, AnInterruptedWriteLeavesARecordThatSaysSo) {
    // Paced like a real 1200-baud line, so that the write can be interrupted.
    PtyCardServer& card = StartCard(1, "KFT018-01-01", FoundImage(), 0, 1200);
    const std::string wanted = File("wanted.cfg");
    const std::string folder = Records();
    Save(wanted, WantedText());
    CliProcess cli({"write", "COM1", wanted, "--verify", "--record", folder});
    ASSERT_TRUE(cli.WaitForError("writing COM1: ", 60s)) << cli.Error();
    cli.Signal(SIGINT);
    const std::optional<int> code = cli.Wait(30s);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, kExitInterrupted) << cli.Error();
    const std::vector<int> written = card.RegistersWritten();
    EXPECT_LT(written.size(), kKft018Registers.size());

    const std::vector<std::string> names = Names(folder);
    ASSERT_EQ(names.size(), 2u) << cli.Error();
    const std::string text = Contents(folder + "/" + names[1]);
    EXPECT_NE(text.find("\nResult:                     interrupted; on the card: "),
              std::string::npos)
        << text;
    EXPECT_TRUE(HasLine(text, "As left: not read back: what the card is known to hold")) << text;
    EXPECT_NE(text.find("Run the same brovane-cli write again to finish"), std::string::npos)
        << text;
}

TEST_F(CliRecord, WithoutAnOperatorTheLoginNameAndTheComputerAreNamed) {
    PtyCardServer& card = StartCard(1, "KFT018-01-01", FoundImage());
    const std::string wanted = WantedFile(card);
    const std::string folder = Records();
    ASSERT_EQ(Run({"write", "COM1", wanted, "--verify", "--record", folder, "-q"}).code, kExitOk);
    const std::vector<std::string> names = Names(folder);
    ASSERT_EQ(names.size(), 2u);
    const std::string text = Contents(folder + "/" + names[1]);
    ASSERT_FALSE(LoginName().empty());
    EXPECT_TRUE(HasLine(text, "Operator:                   " + LoginName())) << text;
    EXPECT_TRUE(HasLine(text, "Computer:                   " + ComputerName())) << text;
}

// Names and page text from what a card or a technician may send.
TEST(RecordText, NamesHoldOnlySafeCharacters) {
    struct Case {
        std::string identity, port, stamp, name;
    };
    const Case cases[] = {
        {"KFT018-01-01", "COM1", "20261210T031209Z", "KFT018-01-01_COM1_20261210T031209Z"},
        {"KFT018-01-01", "/dev/pts/3", "20261210T031209Z",
         "KFT018-01-01_dev-pts-3_20261210T031209Z"},
        {"KF T\x01\xff/..", "./card one", "20261210T031209Z",
         "KF-T---.._card-one_20261210T031209Z"},
        {"", "..", "20261210T031209Z", "unknown_unknown_20261210T031209Z"},
        {"\n\r\t", "COM1\x1b[2J", "20261210T031209Z", "unknown_COM1--2J_20261210T031209Z"},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(RecordName(each.identity, each.port, each.stamp), each.name);
    }
}

TEST(RecordText, OutsideTextIsEscapedInThePage) {
    const std::pair<std::string, std::string> cases[] = {
        {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
        {"A&B \"C\"", "A&amp;B &quot;C&quot;"},
        {"KFT\x01\x7f", "KFT\\x01\\x7F"},
        {"J\xc3\xbcrgen", "J\xc3\xbcrgen"},
        {"bad\xff", "bad\xef\xbf\xbd"},
    };
    for (const auto& [text, escaped] : cases) {
        EXPECT_EQ(HtmlEscaped(text), escaped) << text;
    }
}

TEST(RecordText, DigestIsTheSha256OfTheNinetySixBytes) {
    // sha256sum of 96 zero bytes, and of LeftImage's bytes.
    EXPECT_EQ(ImageDigest(RegisterImage{}),
              "2ea9ab9198d1638007400cd2c3bef1cc745b864b76011a0e1bc52180ac6452d4");
    EXPECT_EQ(ImageDigest(LeftImage()), kLeftDigest);
}

}  // namespace
}  // namespace cli_test
