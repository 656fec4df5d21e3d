#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// The localised texts of the program: 1100 entries addressed by number, each at most 100
// characters, the bytes of the language file as read. Placeholders "Text NNN" until loaded.
constexpr int kLanguageTableSize = 1100;
constexpr int kLanguageEntryLength = 100;

extern std::array<std::unique_ptr<char[]>, kLanguageTableSize> LanguageTable;

// Allocates the entries in order of number and writes each one's placeholder.
// 0 on success, 1 as soon as one allocation fails. The allocator is replaceable for tests.
using LanguageEntryAllocator = std::unique_ptr<char[]> (*)(std::size_t size);
int CreateLanguageTable(LanguageEntryAllocator allocate = nullptr);

// Reads lang_NN.ini from ProgramDirectory into the table, line by line: 0 when the section line
// "[Quorix]" was found, 1 when the file cannot be opened or read (a folder or a device of that
// name, a read error), 2 when it holds no section line (within its first mebibyte).
int LoadLanguageTable(int8_t languageNumber);
// The same from the bytes of a language file: 0 when the section line was found, else 2.
int LoadLanguageText(const std::string& fileContents);

// Path of lang_NN.ini in ProgramDirectory; the files are opened by it.
std::filesystem::path LanguageFileLocation(int languageNumber);
// The same path as UTF-8 text, for messages.
std::string LanguageFilePath(int languageNumber);
// The first line of lang_NN.ini as a text-mode read of at most `limit` (1-299) characters gives
// it (CR LF reads as LF; the line feed is kept when it fits), up to its first zero byte. Nothing
// when the file cannot be opened or read or holds no character. Only that much is read.
std::optional<std::string> ReadLanguageFileFirstLine(int languageNumber, int limit);
// The same from the bytes of a language file.
std::optional<std::string> FirstLineOfText(const std::string& fileContents, int limit);

// Releases every entry.
void FreeLanguageTable();

// The text of entry number (0-1099); empty when the table is not allocated.
const char* LanguageEntry(int number);
// The same, or `fallback` when the loaded language file does not have the entry (it still
// holds its placeholder): the texts added after the first release fall back to English.
const char* LanguageEntryOr(int number, const char* fallback);
