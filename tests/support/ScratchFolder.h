#pragma once

#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

// A folder of the test's own below the test temporary folder, made fresh under a name no other
// run holds and removed with everything in it when the test ends. A name made from the process
// id could meet the leftovers of an earlier run that had the same id.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& stem = "brovane-test") {
        std::random_device random;
        const std::filesystem::path base(::testing::TempDir());
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate = base / (stem + "-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
            }
        }
        EXPECT_FALSE(path_.empty()) << "no folder of its own in " << base;
    }
    ~ScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};
