// brovane-cli's PORT forms and ports --probe: device paths as typed, the console left alone,
// each device asked once. Every COMn a test can reach leads to a virtual card or to nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ExitCodes.h"
#include "cli/PortProbe.h"
#include "tests/cli/cli_helpers.h"

namespace {

using namespace cli_test;

class CliPorts : public Cli {
  protected:
    void SetUp() override {
        Cli::SetUp();
        // No name reaches a device of this PC: COMn without a card leads to a missing file.
        for (int n = 1; n <= 7; ++n) {
            setenv(("BROVANE_COM" + std::to_string(n)).c_str(),
                   File("nothing-" + std::to_string(n)).c_str(), 1);
        }
    }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

// A relative path, as a technician in the card's folder would give it.
std::string RelativeTo(const std::string& path) {
    return std::filesystem::relative(path, std::filesystem::current_path()).string();
}

TEST_F(CliPorts, ADevicePathIsAPortAndMessagesNameItAsTyped) {
    PtyCardServer& card = StartCard(6, "KFT015-01-04", Filled(0x0101));
    const std::string relative = RelativeTo(card.DevicePath());
    const std::string file = File("card.cfg");
    for (const std::string& typed : {card.DevicePath(), relative}) {
        const Outcome read = Run({"read", typed, "-o", file, "-q"});
        ASSERT_EQ(read.code, kExitOk) << typed << read.err;
        EXPECT_NE(Contents(file).find("read by brovane-cli from " + typed + " on "),
                  std::string::npos);
    }
    const Outcome write = Run({"write", relative, file, "--verify", "-q"});
    EXPECT_EQ(write.code, kExitOk) << write.err;
    EXPECT_NE(write.out.find("on " + relative + " (KFT015-01-04)"), std::string::npos) << write.out;
    const Outcome missing = Run({"read", "./no-card-here", "-q"});
    EXPECT_EQ(missing.code, kExitCardFailure);
    EXPECT_EQ(missing.err,
              "brovane-cli: cannot open ./no-card-here: no such device\nPlug in the adapter, or "
              "choose a port that the list shows with a device.\n");
}

TEST_F(CliPorts, ComNumbersBeyondTheListAreRefusedBeforeAnythingIsOpened) {
    const Outcome read = Run({"read", "COM12", "-q"});
    EXPECT_EQ(read.code, kExitBadInput);
    EXPECT_NE(read.err.find("\"COM12\" is no port"), std::string::npos) << read.err;
}

TEST_F(CliPorts, NamedPortsAreProbedOnceEachAndSayWhyOneCannotBeOpened) {
    PtyCardServer& card = StartCard(1, "KFT026-01-01", RegisterImage{}, 5);
    // COM2 names the same pseudo-terminal as COM1.
    setenv("BROVANE_COM2", card.DevicePath().c_str(), 1);
    const Outcome ports =
        Run({"ports", "--probe", "COM1", "COM2", card.DevicePath(), "./no-card-here"});
    // A port named without a card fails the probe, as a script asking for cards must see.
    EXPECT_EQ(ports.code, kExitCardFailure);
    const std::vector<std::string> lines = Lines(ports.out);
    ASSERT_EQ(lines.size(), 4u) << ports.out;
    EXPECT_NE(lines[0].find("Quorix card KFT026-01-01, family KFT026, hardware value 5"),
              std::string::npos)
        << ports.out;
    EXPECT_NE(lines[1].find(": the same device as COM1, probed once"), std::string::npos)
        << ports.out;
    EXPECT_NE(lines[2].find(": the same device as COM1, probed once"), std::string::npos)
        << ports.out;
    EXPECT_NE(lines[3].find(": cannot be opened: ./no-card-here: no such device"),
              std::string::npos)
        << ports.out;
    // One identification and one hardware read: the card answered once.
    EXPECT_EQ(card.CommandCount(), 2);
    // A path longer than the name column keeps a blank before the device column.
    EXPECT_EQ(lines[2].substr(0, card.DevicePath().size() + 1), card.DevicePath() + " ")
        << ports.out;
}

TEST_F(CliPorts, ProbingEveryPortSkipsTheTwinNamesOfOneDevice) {
    PtyCardServer& card = StartCard(3, "KFT018-01-01", RegisterImage{});
    setenv("BROVANE_COM5", card.DevicePath().c_str(), 1);
    const Outcome ports = Run({"ports", "--probe"});
    const std::vector<std::string> lines = Lines(ports.out);
    ASSERT_EQ(lines.size(), 7u) << ports.out;
    EXPECT_NE(lines[2].find("Quorix card KFT018-01-01"), std::string::npos) << ports.out;
    EXPECT_NE(lines[4].find("the same device as COM3, probed once"), std::string::npos)
        << ports.out;
    EXPECT_NE(lines[0].find("no device"), std::string::npos) << ports.out;
    EXPECT_EQ(lines[0].find(": "), std::string::npos) << ports.out;
}

// The plan is made from an injected device list: a console there is never sent a frame,
// whatever name leads to it.
struct PlanCase {
    const char* name;
    std::vector<std::string> typed;  // "@" stands for the console, "~" for a link to it
    std::vector<std::string> skipped;
    std::vector<bool> probed;
};

class ProbePlan : public CliPorts, public testing::WithParamInterface<PlanCase> {};

TEST_P(ProbePlan, TheConsoleAndTwinNamesAreNeverProbed) {
    const std::string console = File("console");
    const std::string link = File("console-link");
    Save(console, "");
    std::filesystem::create_symlink(console, link);
    setenv("BROVANE_COM4", console.c_str(), 1);
    std::vector<std::string> typed;
    for (const std::string& name : GetParam().typed) {
        typed.push_back(name == "@" ? console : name == "~" ? link : name);
    }
    const std::vector<ProbeTarget> plan =
        PlanProbes(DeviceList({}, {console}), typed, ReadPortOverrides());
    ASSERT_EQ(plan.size(), GetParam().probed.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(plan[i].probe, GetParam().probed[i]) << plan[i].name;
        EXPECT_EQ(plan[i].skipped, GetParam().skipped[i]) << plan[i].name;
    }
}

const char kConsole[] = "the system console, never probed";

INSTANTIATE_TEST_SUITE_P(
    Plans, ProbePlan,
    testing::Values(
        PlanCase{"EveryPort",
                 {},
                 {"", "", "", kConsole, "", "", ""},
                 {false, false, false, false, false, false, false}},
        PlanCase{"NamedConsole",
                 {"@", "~", "COM4"},
                 {kConsole, kConsole, kConsole},
                 {false, false, false}},
        PlanCase{"NamedMissing",
                 {"./none", "./none"},
                 {"", "the same device as ./none, probed once"},
                 {true, false}},
        PlanCase{"NoPort", {"COM9"}, {"no port: give COM1 to COM7 or a device path"}, {false}}),
    [](const testing::TestParamInfo<PlanCase>& info) { return std::string(info.param.name); });

}  // namespace
