#include "app/LanguageTable.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/ProgramDirectory.h"

std::array<std::unique_ptr<char[]>, kLanguageTableSize> LanguageTable;

namespace {

constexpr std::size_t kEntrySize = kLanguageEntryLength + 1;
constexpr std::size_t kLineBufferSize = 300;
constexpr int kLineReadLimit = 298;  // characters per read; a longer line arrives in pieces
const char kSectionLine[] = "[Quorix]";

std::unique_ptr<char[]> AllocateEntry(std::size_t size) {
    return std::unique_ptr<char[]>(new (std::nothrow) char[size]);
}

void WritePlaceholder(int number) {
    if (LanguageTable[number]) {
        std::snprintf(LanguageTable[number].get(), kEntrySize, "Text %.3d", number);
    }
}

// The language file read as a text-mode stream: a carriage return and line feed pair reads as
// one line feed; lines are read as fgets reads them, at most a given count of characters.
class TextModeLines {
  public:
    explicit TextModeLines(const std::string& bytes) {
        text_.reserve(bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                continue;
            }
            text_.push_back(bytes[i]);
        }
    }

    // Copies the next line (through its line feed, at most limit characters) into buffer and
    // terminates it. False at the end of the text.
    bool ReadLine(char* buffer, int limit) {
        if (position_ >= text_.size()) {
            return false;
        }
        int count = 0;
        while (count < limit && position_ < text_.size()) {
            const char c = text_[position_++];
            buffer[count++] = c;
            if (c == '\n') {
                break;
            }
        }
        buffer[count] = '\0';
        return true;
    }

  private:
    std::string text_;
    std::size_t position_ = 0;
};

// Cuts the line end off a section candidate: the last character, or the last two when the one
// before the last is a carriage return.
void CutLineEnd(char* line) {
    const std::size_t length = std::strlen(line);
    if (length >= 2 && line[length - 2] == '\r') {
        line[length - 2] = '\0';
    } else if (length >= 1) {
        line[length - 1] = '\0';
    }
}

bool FindSection(TextModeLines& lines) {
    char line[kLineBufferSize] = {};
    while (lines.ReadLine(line, kLineReadLimit)) {
        CutLineEnd(line);
        if (std::strcmp(line, kSectionLine) == 0) {
            return true;
        }
    }
    return false;
}

// Reads the text of entry `number` from its line. False when the line ends the reading.
bool ReadTextLine(char* line, int number) {
    char key[16];
    const int keyLength = std::snprintf(key, sizeof key, "String%.3d", number);
    // Keep the key, "=", the opening character and at most 100 characters of text.
    line[keyLength + 2 + kLanguageEntryLength] = '\0';
    char* equals = std::strchr(line, '=');
    if (equals == nullptr) {
        return false;
    }
    if (equals - line != keyLength || std::strncmp(line, key, keyLength) != 0) {
        return false;
    }
    // The character right after "=" is skipped whatever it is; the cleared buffer makes a
    // line that ends at the "=" read as an empty text.
    char* text = equals + 2;
    if (char* closingQuote = std::strrchr(text, '"')) {
        *closingQuote = '\0';
    }
    char* entry = LanguageTable[number].get();
    if (entry != nullptr) {
        std::strncpy(entry, text, kLanguageEntryLength);
        entry[kLanguageEntryLength] = '\0';
    }
    return true;
}

}  // namespace

int CreateLanguageTable(LanguageEntryAllocator allocate) {
    if (allocate == nullptr) {
        allocate = AllocateEntry;
    }
    for (int i = 0; i < kLanguageTableSize; ++i) {
        LanguageTable[i] = allocate(kEntrySize);
        if (!LanguageTable[i]) {
            return 1;
        }
        WritePlaceholder(i);
    }
    return 0;
}

std::string LanguageFilePath(int languageNumber) {
    char fileName[32];
    std::snprintf(fileName, sizeof fileName, "lang_%.2d.ini", languageNumber);
    return ProgramDirectory + fileName;
}

int LoadLanguageTable(int8_t languageNumber) {
    std::ifstream file(LanguageFilePath(languageNumber), std::ios::binary);
    if (!file) {
        return 1;
    }
    return LoadLanguageText(std::string(std::istreambuf_iterator<char>(file), {}));
}

std::optional<std::string> ReadLanguageFileFirstLine(int languageNumber, int limit) {
    std::ifstream file(LanguageFilePath(languageNumber), std::ios::binary);
    if (!file || limit <= 0) {
        return std::nullopt;
    }
    TextModeLines lines(std::string(std::istreambuf_iterator<char>(file), {}));
    std::string line(static_cast<std::size_t>(limit) + 1, '\0');
    if (!lines.ReadLine(line.data(), limit)) {
        return std::nullopt;
    }
    line.resize(std::strlen(line.c_str()));
    return line;
}

int LoadLanguageText(const std::string& fileContents) {
    TextModeLines lines(fileContents);
    if (!FindSection(lines)) {
        return 2;
    }
    for (int i = 0; i < kLanguageTableSize; ++i) {
        char line[kLineBufferSize] = {};
        if (!lines.ReadLine(line, kLineReadLimit)) {
            WritePlaceholder(i);
            continue;
        }
        if (!ReadTextLine(line, i)) {
            break;
        }
    }
    return 0;
}

void FreeLanguageTable() {
    for (auto& entry : LanguageTable) {
        entry.reset();
    }
}

const char* LanguageEntry(int number) {
    if (number < 0 || number >= kLanguageTableSize || !LanguageTable[number]) {
        return "";
    }
    return LanguageTable[number].get();
}
