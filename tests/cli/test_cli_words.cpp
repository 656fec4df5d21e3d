// What brovane-cli says: diff's paths once, the wait for a silent card on the progress line,
// help COMMAND, and the line of a file that holds what a person or a power loss left in it.
#include <gtest/gtest.h>

#include <string>

#include "cli/ExitCodes.h"
#include "model/FirmwareVariant.h"
#include "tests/cli/cli_helpers.h"

namespace {

using namespace cli_test;

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(Cli, DiffNamesEachPathOnceThenEveryDifference) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string a = File("a.cfg");
    const std::string b = File("b.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", a, "-q"}).code, kExitOk);
    std::string text = Contents(a);
    text.replace(text.find("address = 145"), 13, "address = 7");
    // Output 1's logic turned over.
    const size_t logic = text.find("logic = Normal O") + 16;
    text.replace(logic, 2, text.compare(logic, 2, "N\n") == 0 ? "FF" : "N");
    Save(b, text);
    const Outcome diff = Run({"diff", a, b});
    EXPECT_EQ(diff.code, kExitDifferent);
    EXPECT_EQ(diff.out.rfind("A: " + a + "\nB: " + b + "\n", 0), 0u) << diff.out;
    EXPECT_EQ(Occurrences(diff.out, a), 1u) << diff.out;
    EXPECT_EQ(Occurrences(diff.out, b), 1u) << diff.out;
    EXPECT_NE(diff.out.find("COM2 address: 145 in A, 7 in B\n"), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("Output 1 logic: "), std::string::npos) << diff.out;
}

// `text` with the value of the first line of `key` set to `value`, its comment kept.
std::string WithValue(std::string text, const std::string& key, const std::string& value) {
    const size_t start = text.find("\n" + key + " = ") + key.size() + 4;
    const size_t end = text.find_first_of("#\n", start);
    return text.replace(start, end - start, value + " ");
}

TEST_F(Cli, AFileIsRefusedByTheLineThatHoldsTheFault) {
    StartCard(1, "KFT018-01-01", Filled(0x0101));
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    const std::string good = Contents(file);
    const auto lineOf = [&](const std::string& key) {
        return std::to_string(1 +
                              Occurrences(good.substr(0, good.find("\n" + key + " = ") + 1), "\n"));
    };
    struct Case {
        std::string text;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"", file + ":1: file is empty"},
        {std::string(good).insert(4, 1, '\0'),
         file + ":1: a NUL byte stands in this line (a power loss can leave one); allowed: text "
                "without NUL bytes"},
        {WithValue(good, "delay", "250,5 ms"),
         file + ":" + lineOf("delay") +
             ": Input 1 delay \"250,5 ms\" has a decimal comma: use a decimal point"},
        {WithValue(good, "events", "1, 2,"),
         file + ":" + lineOf("events") +
             ": Output 1 events \"1, 2,\" has a comma with no event number beside it"},
        {WithValue(good, "events", "0x10"),
         file + ":" + lineOf("events") + ": Output 1 events \"0x10\" is not an event number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        Save(file, c.text);
        const Outcome show = Run({"show", file});
        EXPECT_EQ(show.code, kExitBadInput);
        EXPECT_EQ(show.err.rfind(c.error, 0), 0u) << show.err;
        EXPECT_NE(show.err.find("\n" + file + ": 1 error\n"), std::string::npos) << show.err;
    }
}

// The identification of a silent card takes seconds: the progress says what it waits for.
TEST_F(Cli, ASilentCardIsSeenBeingIdentified) {
    StartCard(2, "KFT015-01-04", Filled(0x0101));
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM2", "-o", file, "-q"}).code, kExitOk);
    StartCard(1, "KFT015-01-04", Filled(0x0101)).StopAnsweringAfter(0);
    // Opening, identification, hardware value and the registers of the longest family.
    const std::string steps = std::to_string(3 + MostExchangedRegisters());
    struct Case {
        std::vector<std::string> arguments;
        bool terminal;
        std::string shown;
    };
    for (const Case& c :
         {Case{{"read", "COM1"}, true, "] 1/" + steps + " identifying the card"},
          Case{{"read", "COM1"}, false, "reading COM1\nreading COM1: identifying the card\n"},
          Case{{"write", "COM1", file}, false, "checking COM1: identifying the card\n"}}) {
        const Outcome outcome = Run(c.arguments, c.terminal);
        EXPECT_EQ(outcome.code, kExitCardFailure);
        EXPECT_NE(outcome.err.find(c.shown), std::string::npos) << outcome.err;
    }
}

TEST_F(Cli, WriteShowsTheIdentificationItWaitsFor) {
    StartCard(1, "KFT015-01-04", Filled(0x0101));
    const std::string file = File("card.cfg");
    ASSERT_EQ(Run({"read", "COM1", "-o", file, "-q"}).code, kExitOk);
    const Outcome write = Run({"write", "COM1", file}, true);
    EXPECT_EQ(write.code, kExitOk) << write.err;
    EXPECT_NE(write.err.find("\rchecking COM1 [....."), std::string::npos) << write.err;
    EXPECT_NE(write.err.find("0/1 identifying the card"), std::string::npos) << write.err;
}

TEST_F(Cli, HelpCommandGivesTheCommandsOwnHelp) {
    for (const char* command : {"ports", "read", "write", "verify", "diff", "show"}) {
        const Outcome help = Run({"help", command});
        EXPECT_EQ(help.code, kExitOk) << command;
        EXPECT_EQ(help.out, Run({command, "--help"}).out) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: brovane-cli ") + command, 0), 0u) << help.out;
    }
    EXPECT_EQ(Run({"help"}).out, Run({"--help"}).out);
    EXPECT_EQ(Run({"help"}).code, kExitOk);
    const Outcome unknown = Run({"help", "fly"});
    EXPECT_EQ(unknown.code, kExitBadInput);
    EXPECT_NE(unknown.err.find("unknown command fly"), std::string::npos) << unknown.err;
    EXPECT_EQ(Run({"help", "read", "write"}).code, kExitBadInput);
    // The probe's help warns that a frame goes out on every port it asks.
    EXPECT_NE(Run({"help", "ports"}).out.find("modem lines"), std::string::npos);
}

}  // namespace
