// A program folder named in letters outside ASCII (a ZIP unpacked to C:\Prüfstand): the language
// files beside the program are found and read, whatever the system's code page holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/LanguageTable.h"
#include "app/ProgramDirectory.h"

namespace {

namespace fs = std::filesystem;

constexpr int kShippedLanguages = 3;
constexpr int kNameReadLimit = 31;
const char* const kLanguageNames[kShippedLanguages] = {"English\n", "Deutsch\n", "Italiano\n"};
// The test that a copy of this program runs from the folder under test.
constexpr char kChildTest[] = "ProgramFolder.DISABLED_ReadsTheThreeLanguageFilesBesideItself";
#ifdef _WIN32
constexpr char kThisProgram[] = "app_program_folder.exe";
#else
constexpr char kThisProgram[] = "app_program_folder";
#endif

fs::path FromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

// Reads every shipped language file from ProgramDirectory: each loads (its section found, its
// first text read) and names its language in its first line.
void ExpectTheThreeLanguagesRead() {
    ASSERT_EQ(CreateLanguageTable(), 0);
    for (int number = 0; number < kShippedLanguages; ++number) {
        EXPECT_EQ(LoadLanguageTable(static_cast<int8_t>(number)), 0) << LanguageFilePath(number);
        EXPECT_STRNE(LanguageEntry(0), "Text 000") << LanguageFilePath(number);
        EXPECT_EQ(ReadLanguageFileFirstLine(number, kNameReadLimit),
                  std::optional<std::string>(kLanguageNames[number]));
    }
    FreeLanguageTable();
}

// Starts a program and waits for its end; true when it ended with code 0.
bool RunToSuccess(const fs::path& program, const std::vector<fs::path>& arguments) {
#ifdef _WIN32
    std::wstring commandLine = L"\"" + program.native() + L"\"";
    for (const fs::path& argument : arguments) {
        commandLine += L" \"" + argument.native() + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    constexpr DWORD kBoundMilliseconds = 60000;
    DWORD code = 1;
    if (WaitForSingleObject(process.hProcess, kBoundMilliseconds) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
#else
    std::string command = "'" + program.native() + "'";
    for (const fs::path& argument : arguments) {
        command += " '" + argument.native() + "'";
    }
    return std::system(command.c_str()) == 0;
#endif
}

std::string FileText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class ProgramFolderNamed : public testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && scratch_.empty(); ++attempt) {
            const fs::path candidate =
                fs::temp_directory_path() / ("brovane-folder-" + std::to_string(random()));
            std::error_code error;
            if (fs::create_directory(candidate, error)) {
                scratch_ = candidate;
            }
        }
        ASSERT_FALSE(scratch_.empty());
        folder_ = scratch_ / FromUtf8(GetParam());
        ASSERT_TRUE(fs::create_directories(folder_));
        // The build puts the shipped language files beside every program.
        const fs::path built = ExecutableDirectory();
        for (int number = 0; number < kShippedLanguages; ++number) {
            const fs::path name = LanguageFileLocation(number).filename();
            fs::copy_file(built / name, folder_ / name);
        }
        saved_ = ProgramDirectory;
    }
    void TearDown() override {
        ProgramDirectory = saved_;
        std::error_code error;
        fs::remove_all(scratch_, error);
    }

    fs::path scratch_;
    fs::path folder_;
    fs::path saved_;
};

TEST_P(ProgramFolderNamed, ReadsAllThreeLanguageFiles) {
    ProgramDirectory = folder_ / "";
    ExpectTheThreeLanguagesRead();
    // Messages name the folder in its own letters.
    EXPECT_NE(LanguageFilePath(0).find(GetParam()), std::string::npos) << LanguageFilePath(0);
}

// A copy of this program in the folder finds the folder from its own file and reads the
// language files there.
TEST_P(ProgramFolderNamed, AProgramStartedFromItFindsItsLanguageFiles) {
    const fs::path copy = folder_ / kThisProgram;
    fs::copy_file(ExecutableDirectory() / kThisProgram, copy);
    // The result goes to a plain ASCII name: the test framework opens it by a narrow name.
    const fs::path result = scratch_ / "result.xml";
    ASSERT_TRUE(RunToSuccess(copy, {fs::path("--gtest_also_run_disabled_tests"),
                                    fs::path(std::string("--gtest_filter=") + kChildTest),
                                    fs::path("--gtest_output=xml:" + PathText(result))}));
    const std::string report = FileText(result);
    EXPECT_NE(report.find("tests=\"1\" failures=\"0\""), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(NamesOutsideAscii, ProgramFolderNamed,
                         testing::Values(reinterpret_cast<const char*>(u8"Prüfstand"),
                                         reinterpret_cast<const char*>(u8"Łódź"),
                                         reinterpret_cast<const char*>(u8"Prüfstand/Łódź")));

// Run only as the copy started above, from the folder under test.
TEST(ProgramFolder, DISABLED_ReadsTheThreeLanguageFilesBesideItself) {
    ProgramDirectory = ExecutableDirectory();
    ASSERT_FALSE(ProgramDirectory.empty());
    ExpectTheThreeLanguagesRead();
}

}  // namespace
