// A batch of cards from one template: --set for every card, a manifest for the fields that
// differ from card to card, checked whole before any card is touched.
#include "tests/cli/several_ports.h"

namespace {

using namespace cli_test;

class CliManifest : public CliSeveralPorts {
  protected:
    // A KFT015 file as the sheet writes one: bus address 5.
    std::string Kft015File() {
        const std::string file = File("kft015.cfg");
        Save(file,
             "[card]\nfamily = KFT015\n[COM0]\nprotocol = NEXPR\nbaud = 1200\n"
             "[COM1]\nprotocol = NEXPR\nbaud = 9600\nparity = None\nstop = 1\n"
             "[COM2]\nprotocol = NEXPR\nbaud = 9600\nparity = None\nstop = 1\naddress = 5\n"
             "[COM3]\nprotocol = NEXPR\nbaud = 9600\nparity = None\nstop = 1\n");
        return file;
    }
    std::string Manifest(const std::string& text) {
        const std::string file = File("cards.csv");
        Save(file, text);
        return file;
    }
};

// Filled(0x0202) holds 0x0E96 in register 4: the high byte 0x0E stays, the address is its low.
constexpr uint16_t kTemplateHigh4 = 0x0E00;

TEST_F(CliManifest, FourCardsFromOneManifestEachGetTheirOwnAddressAndTheTableSaysSo) {
    const std::string file = SourceFile(0x0202, 1);
    std::vector<PtyCardServer*> cards;
    for (int com = 1; com <= 4; ++com) {
        cards.push_back(&StartCard(com, "KFT018-01-01", Filled(static_cast<uint16_t>(com))));
    }
    // A spreadsheet's file: byte order mark, CR LF, quoted cells, a blank row.
    const std::string manifest = Manifest(
        "\xEF\xBB\xBF"
        "port,COM2 address,COM1 baud\r\n\"COM1\",11,\r\nCOM2,\"12\",\r\n\r\nCOM3,13,2400\r\n"
        "COM4,14,\r\n");
    const Outcome write = Run({"write", "--manifest", manifest, file, "--verify", "-q"});
    ASSERT_EQ(write.code, kExitOk) << write.err << write.out;
    const uint16_t addresses[] = {11, 12, 13, 14};
    const RegisterImage wanted = Filled(0x0202);
    for (size_t i = 0; i < cards.size(); ++i) {
        SCOPED_TRACE("COM" + std::to_string(i + 1));
        const RegisterImage held = cards[i]->Registers();
        EXPECT_EQ(held.Value(4), kTemplateHigh4 | addresses[i]);
        for (const int reg : kKft018Registers) {
            if (reg != 4 && !(i == 2 && reg == 1)) {
                EXPECT_EQ(held.Value(reg), wanted.Value(reg)) << "register " << reg;
            }
        }
        EXPECT_EQ(cards[i]->RegistersWritten(), kKft018Registers);
    }
    // COM3's 2400 baud: code 2 in the low bits of its line byte, the rest kept.
    EXPECT_EQ(cards[2]->Registers().Value(1), (wanted.Value(1) & 0xFFF8) | 2);
    // The set column as wide as its widest cell, "COM2 address=13, COM1 baud=2400", and two.
    EXPECT_NE(
        Row(write.out, "COM1")
            .find("KFT018-01-01  COM2 address=11" + std::string(18, ' ') + "written and verified"),
        std::string::npos)
        << write.out;
    EXPECT_NE(Row(write.out, "COM3")
                  .find("KFT018-01-01  COM2 address=13, COM1 baud=2400  written and verified"),
              std::string::npos)
        << write.out;
    EXPECT_NE(write.out.find("  card          set" + std::string(30, ' ') + "result"),
              std::string::npos)
        << write.out;
}

struct RefusalCase {
    const char* name;
    bool kft015;
    std::string manifest;
    std::vector<std::string> errors;  // every line of standard error, the path as "M"
};

TEST_F(CliManifest, EveryFaultOfTheManifestIsToldAtOnceAndNothingIsSent) {
    const std::string kft018 = SourceFile(0x0202, 1);
    const std::string kft015 = Kft015File();
    PtyCardServer& second = StartCard(2, "KFT018-01-01", Filled(2));
    std::vector<PtyCardServer*> cards = {&StartCard(1, "KFT018-01-01", Filled(1)), &second,
                                         &StartCard(3, "KFT018-01-01", Filled(3))};
    const std::string fieldsOf015 =
        "port, COM0 protocol, COM0 baud, COM1 protocol, COM1 baud, COM1 parity, COM1 stop, "
        "COM2 protocol, COM2 baud, COM2 parity, COM2 stop, COM2 address, COM3 protocol, COM3 "
        "baud, COM3 parity, COM3 stop";
    const RefusalCase cases[] = {
        {"all at once",
         false,
         "port,COM2 address,COM2 adress,Input 3 delay\nCOM1,256,,\nCOM3,12,,25 ms\n"
         "COM1,13,,\n" +
             second.DevicePath() + ",14,,\nCOM2,\"7\"x,,2600 ms\n",
         {"M:1: column \"COM2 adress\" is not a field; allowed: port, COM0 protocol",
          "M:2: COM2 address \"256\" is out of range; allowed: 0 to 255",
          "M:3: Input 3 delay \"25 ms\" is not a delay of the sheet; allowed: 0 to 2500 ms in "
          "steps of 10, or raw 0-255",
          "M:4: port \"COM1\" stands in row 2 too; allowed: one row for each card",
          "M:6: COM2 address \"7x\" has text after the quote that closes it; allowed: a cell "
          "either plain or wholly in double quotes, with \"\" for each quote in it",
          "M:6: port \"COM2\" is " + second.PtyPath() + ", as " + second.DevicePath() +
              " in row 5 is; allowed: one row for each card",
          "M:6: Input 3 delay \"2600 ms\" is not a delay of the sheet; allowed: 0 to 2500 ms in "
          "steps of "
          "10, or raw 0-255",
          "M: 7 errors; nothing was sent"}},
        {"a field the family lacks",
         true,
         "port,Input 3 delay,COM2 address\nCOM1,250 ms,12\n",
         {"M:1: column \"Input 3 delay\" is not a field of KFT015; allowed: " + fieldsOf015,
          "M: 1 error; nothing was sent"}},
        {"no port column, no card",
         false,
         "COM2 address\n",
         {"M:1: column \"port\" is missing; allowed: port, COM0 protocol",
          "M:2: port is missing; allowed: one row for each card", "M: 2 errors; nothing was sent"}},
        {"a quote never closed",
         false,
         "port,COM2 address\nCOM1,\"12\n",
         {"M:2: COM2 address \"12?\" opens with a quote that no quote closes; allowed: a cell "
          "either plain or wholly in double quotes, with \"\" for each quote in it",
          "M: 1 error; nothing was sent"}},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string manifest = Manifest(c.manifest);
        const Outcome write =
            Run({"write", "--manifest", manifest, c.kft015 ? kft015 : kft018, "--verify", "-q"});
        EXPECT_EQ(write.code, kExitBadInput);
        EXPECT_EQ(write.out, "");
        std::vector<std::string> lines;
        std::istringstream err(write.err);
        for (std::string line; std::getline(err, line);) {
            const size_t at = line.find(manifest);
            lines.push_back(at == std::string::npos ? line
                                                    : line.replace(at, manifest.size(), "M"));
        }
        ASSERT_EQ(lines.size(), c.errors.size()) << write.err;
        for (size_t i = 0; i < lines.size(); ++i) {
            // A long list of what is allowed is checked by its beginning.
            EXPECT_EQ(lines[i].substr(0, c.errors[i].size()), c.errors[i]);
        }
        for (PtyCardServer* card : cards) {
            EXPECT_EQ(card->CommandCount(), 0);
        }
    }
}

TEST_F(CliManifest, SetChangesAFieldForThisRunAndRefusesAWrongOneBeforeSending) {
    const std::string file = SourceFile(0x0202, 1);
    PtyCardServer& card = StartCard(1, "KFT018-01-01", Filled(1));
    const Outcome refused = Run({"write", "COM1", file, "--set", "COM2 address=256", "--set",
                                 "Output 2 logic=Normal OFF", "--set=COM9 baud=9600", "-q"});
    EXPECT_EQ(refused.code, kExitBadInput);
    EXPECT_EQ(refused.err.substr(0, refused.err.find("COM0 protocol")),
              "brovane-cli: --set:1: COM2 address \"256\" is out of range; allowed: 0 to 255\n"
              "brovane-cli: --set:3: COM9 baud \"9600\" is not a field; allowed: ");
    EXPECT_NE(refused.err.find("\nbrovane-cli: --set: 2 errors; nothing was sent\n"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(card.CommandCount(), 0);

    const Outcome write = Run({"write", "COM1", file, "--verify", "--set", "com2 address = 12",
                               "--set", "Output 2 logic=Normal OFF", "-q"});
    ASSERT_EQ(write.code, kExitOk) << write.err;
    const RegisterImage wanted = Filled(0x0202);
    EXPECT_EQ(card.Registers().Value(4), kTemplateHigh4 | 12);
    // Output 2's bit of the logic byte set, the others as the file has them.
    EXPECT_EQ(card.Registers().Value(7), wanted.Value(7) | 0x0002);
    // The file itself is unchanged.
    const Outcome verify = Run({"verify", "COM1", file, "-q"});
    EXPECT_EQ(verify.code, kExitDifferent);
    EXPECT_NE(verify.out.find("COM2 address: 150 in the file, 12 in the card"), std::string::npos)
        << verify.out;
}

TEST_F(CliManifest, VerifyOfAManifestComparesEachCardWithItsOwnRow) {
    const std::string file = SourceFile(0x0202, 1);
    RegisterImage eleven = Filled(0x0202);
    eleven.SetLow(4, 11);
    StartCard(1, "KFT018-01-01", eleven);
    StartCard(2, "KFT018-01-01", eleven);
    StartCard(3, "KFT018-01-01", Filled(0x0202));
    const std::string manifest = Manifest("port,COM2 address\nCOM1,11\nCOM2,12\nCOM3,\n");
    const Outcome verify = Run({"verify", "--manifest", manifest, file, "-q"});
    EXPECT_EQ(verify.code, kExitDifferent) << verify.err;
    EXPECT_NE(Row(verify.out, "COM1").find("COM2 address=11  holds the file"), std::string::npos)
        << verify.out;
    EXPECT_NE(Row(verify.out, "COM2").find("COM2 address=12  differs at COM2 address"),
              std::string::npos)
        << verify.out;
    EXPECT_NE(Row(verify.out, "COM3").find("-                holds the file"), std::string::npos)
        << verify.out;
    EXPECT_NE(verify.out.find("[COM2] COM2 address: 12 in the file, 11 in the card"),
              std::string::npos)
        << verify.out;
}

TEST_F(CliManifest, AManifestTakesTheFileAloneAndBelongsToWriteAndVerify) {
    const std::string file = SourceFile(0x0202, 1);
    const std::string manifest = Manifest("port\nCOM1\n");
    const Outcome extra = Run({"write", "--manifest", manifest, "COM1", file});
    EXPECT_EQ(extra.code, kExitBadInput);
    EXPECT_EQ(extra.err.rfind("brovane-cli: write takes 1 argument\n", 0), 0u) << extra.err;
    const Outcome read = Run({"read", "COM1", "--manifest", manifest});
    EXPECT_EQ(read.code, kExitBadInput);
    EXPECT_EQ(read.err, "brovane-cli: --manifest is an option of write and verify, not of read\n");
}

}  // namespace
