#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/PortMapping.h"

namespace port_environment {

inline void Set(const std::string& name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name.c_str(), value.c_str());
#else
    ::setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void Unset(const std::string& name) {
#ifdef _WIN32
    ::_putenv_s(name.c_str(), "");  // an empty value removes it there
#else
    ::unsetenv(name.c_str());
#endif
}

}  // namespace port_environment

// BROVANE_COM1 to BROVANE_COM7 as the caller left them must not change what a test sees: each
// is set empty (no device set by hand) for the test, and the caller's values come back after
// it. A test sets the ones it means with SetPortVariable.
class PortEnvironment : public testing::Test {
  protected:
    void SetUp() override {
        for (int number = 1; number <= kPortChoiceCount; ++number) {
            const char* value = std::getenv(Variable(number).c_str());
            saved_.push_back(value == nullptr ? std::nullopt : std::optional<std::string>(value));
            port_environment::Set(Variable(number), "");
        }
    }
    void TearDown() override {
        for (int number = 1; number <= kPortChoiceCount; ++number) {
            const std::optional<std::string>& value = saved_[static_cast<size_t>(number - 1)];
            if (value) {
                port_environment::Set(Variable(number), *value);
            } else {
                port_environment::Unset(Variable(number));
            }
        }
    }

    static void SetPortVariable(int number, const std::string& device) {
        port_environment::Set(Variable(number), device);
    }
    static std::string Variable(int number) { return "BROVANE_COM" + std::to_string(number); }

  private:
    std::vector<std::optional<std::string>> saved_;
};
