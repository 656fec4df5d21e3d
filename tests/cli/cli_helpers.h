// What the tests of brovane-cli share: virtual cards behind COMn, a command run in-process, and
// the files of a test folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

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
#include "model/RegisterImage.h"
#include "sim/VirtualCard.h"
#include "tests/support/ProcessState.h"
#include "tests/support/ScratchFolder.h"

namespace cli_test {

using Clock = std::chrono::steady_clock;

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// A card whose every exchanged register holds a value of its own; registers 1-3 carry a parity
// code, as every register the PC reads from a card does.
inline RegisterImage Filled(uint16_t seed) {
    RegisterImage image;
    for (int reg = 0; reg < RegisterImage::kRegisterCount; ++reg) {
        image.SetValue(reg, static_cast<uint16_t>(seed * (reg + 1) + 0x0123 * reg));
    }
    for (int reg = 1; reg <= 3; ++reg) {
        image.SetLow(reg, static_cast<uint8_t>(image.Low(reg) | 0x40));
    }
    return image;
}

class Cli : public testing::Test {
  protected:
    void SetUp() override {
        ProgramDirectory = ExecutableDirectory();
        scratch_.emplace("brovane-cli-test");
        folder_ = scratch_->Path();
    }
    void TearDown() override {
        for (auto& card : cards_) {
            card->Stop();
        }
        for (int n = 2; n <= 7; ++n) {
            unsetenv(("BROVANE_COM" + std::to_string(n)).c_str());
        }
        ClearProcessState();
        scratch_.reset();
    }

    // Starts a virtual card behind COMn.
    PtyCardServer& StartCard(int com, const std::string& identity, const RegisterImage& registers,
                             int hardwareBits = 0, int baud = 0) {
        CardConfig config;
        config.baud = baud;
        config.identity = identity;
        config.registers = registers;
        config.hardwareBits = hardwareBits;
        cards_.push_back(std::make_unique<PtyCardServer>(config));
        PtyCardServer& card = *cards_.back();
        EXPECT_TRUE(card.Start());
        setenv(("BROVANE_COM" + std::to_string(com)).c_str(), card.DevicePath().c_str(), 1);
        return card;
    }

    Outcome Run(const std::vector<std::string>& arguments, bool terminal = false) {
        std::ostringstream out;
        std::ostringstream err;
        Outcome outcome;
        outcome.code = RunCli(arguments, out, err, terminal);
        outcome.out = out.str();
        outcome.err = err.str();
        return outcome;
    }

    std::string File(const std::string& name) const { return (folder_ / name).string(); }
    static std::string Contents(const std::string& path) {
        std::ifstream stream(path, std::ios::binary);
        std::ostringstream text;
        text << stream.rdbuf();
        return text.str();
    }
    static void Save(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    const std::filesystem::path& Folder() const { return folder_; }

  private:
    std::optional<ScratchFolder> scratch_;
    std::filesystem::path folder_;
    std::vector<std::unique_ptr<PtyCardServer>> cards_;
};

}  // namespace cli_test
