#include <gtest/gtest.h>

#include "sim/SimOptions.h"

namespace {

SimOptions Parse(std::vector<std::string> args) {
    SimOptions options;
    std::string error;
    EXPECT_TRUE(ParseSimOptions(args, options, error)) << error;
    return options;
}

TEST(SimOptions, IdentityByFamilyReleaseTextOrBytes) {
    struct Case {
        std::vector<std::string> args;
        std::string identity;
    };
    const Case cases[] = {
        {{}, "KFT018-01-01"},
        {{"--family", "KFT015"}, "KFT015-01-04"},
        {{"--family", "KFT026"}, "KFT026-01-01"},
        {{"--family", "KFT015", "--release", "01-03"}, "KFT015-01-03"},
        {{"--release", "02-00"}, "KFT018-02-00"},
        {{"--identity", "XYZ"}, "XYZ"},
        {{"--identity-hex", "4B465430313500"}, std::string("KFT015\0", 7)},
        {{"--identity", "ABC", "--family", "KFT026"}, "ABC"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.args).config.identity, c.identity);
    }
}

TEST(SimOptions, CardLineFaultsAndFiles) {
    const SimOptions options =
        Parse({"--hardware", "0x1F", "--baud", "1200", "--log", "--link", "/tmp/card", "--dump",
               "/tmp/dump", "--fault", "silent:3", "--fault", "split-reply:5:2", "--fault",
               "hang-up", "--stop-after", "40"});
    EXPECT_EQ(options.config.hardwareBits, 31);
    EXPECT_EQ(options.config.baud, 1200);
    EXPECT_TRUE(options.config.log);
    EXPECT_EQ(options.linkPath, "/tmp/card");
    EXPECT_EQ(options.dumpPath, "/tmp/dump");
    EXPECT_EQ(options.stopAfter, 40);
    ASSERT_EQ(options.faults.size(), 3u);
    EXPECT_EQ(options.faults[0].fault, CardFault::Silent);
    EXPECT_EQ(options.faults[0].command, 3);
    EXPECT_EQ(options.faults[0].count, 1);
    EXPECT_EQ(options.faults[1].fault, CardFault::SplitReply);
    EXPECT_EQ(options.faults[1].command, 5);
    EXPECT_EQ(options.faults[1].count, 2);
    EXPECT_EQ(options.faults[2].fault, CardFault::HangUp);
    EXPECT_EQ(options.faults[2].command, 1);
    EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(SimOptions, AWrongCommandLineIsExplained) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--family", "KFT017"},
                                               {"--hardware", "32"},
                                               {"--hardware", "5x"},
                                               {"--baud", "-1"},
                                               {"--fault", "loud"},
                                               {"--fault", "silent:0"},
                                               {"--fault", "silent:2:x"},
                                               {"--fault", "silent:1:1:1"},
                                               {"--identity-hex", "4B4"},
                                               {"--identity-hex", "ZZ"},
                                               {"--registers", "/nonexistent/file"},
                                               {"--stop-after"},
                                               {"--bogus"},
                                               {"stray"}}) {
        SimOptions options;
        std::string error;
        EXPECT_FALSE(ParseSimOptions(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimOptions, TheHelpNamesEveryOptionAndFault) {
    const std::string usage = SimUsage();
    for (const char* word :
         {"--family",    "--release",   "--identity",    "--identity-hex", "--hardware",
          "--registers", "--baud",      "--link",        "--fault",        "--stop-after",
          "--log",       "--dump",      "--help",        "silent",         "wrong-echo",
          "short-reply", "split-reply", "surplus-bytes", "failing-write",  "hang-up",
          "SIGUSR1",     "SIGTERM"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

}  // namespace
