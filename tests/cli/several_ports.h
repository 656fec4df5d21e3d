// What the tests of brovane-cli on several ports share: port names that lead to pseudo-terminals
// or to nothing, a configuration file read from a card, and the rows of the results table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/FirmwareVariant.h"
#include "tests/cli/cli_helpers.h"

namespace cli_test {

inline const std::vector<int> kKft018Registers =
    ExchangedRegisters(VariantOfFamily(FirmwareFamily::Kft018));

class CliSeveralPorts : public Cli {
  protected:
    void SetUp() override {
        Cli::SetUp();
        // Every port name a test may reach leads to a pseudo-terminal or to nothing.
        for (int n = 1; n <= 7; ++n) {
            setenv(Com(n).c_str(), File("no-device").c_str(), 1);
        }
    }
    void TearDown() override {
        Cli::TearDown();
        for (int n = 1; n <= 7; ++n) {
            unsetenv(Com(n).c_str());
        }
    }
    static std::string Com(int n) { return "BROVANE_COM" + std::to_string(n); }

    // A KFT018 configuration file read from a card filled from `seed` on COM`com`; the card is
    // stopped.
    std::string SourceFile(uint16_t seed, int com) {
        PtyCardServer& source = StartCard(com, "KFT018-01-01", Filled(seed));
        const std::string file = File("source.cfg");
        EXPECT_EQ(Run({"read", "COM" + std::to_string(com), "-o", file, "-q"}).code, kExitOk);
        source.Stop();
        return file;
    }
    // The table's row of a port.
    static std::string Row(const std::string& out, const std::string& port) {
        const size_t at = out.find("\n" + port + " ");
        return at == std::string::npos ? "" : out.substr(at + 1, out.find('\n', at + 1) - at - 1);
    }
};

}  // namespace cli_test
