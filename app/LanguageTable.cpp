#include "app/LanguageTable.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/ProgramDirectory.h"
#include "link/SerialPlatform.h"

std::array<std::unique_ptr<char[]>, kLanguageTableSize> LanguageTable;

namespace {

constexpr std::size_t kEntrySize = kLanguageEntryLength + 1;
constexpr std::size_t kLineBufferSize = 300;
constexpr int kLineReadLimit = 298;  // characters per read; a longer line arrives in pieces
const char kSectionLine[] = "[Quorix]";
// The section line is looked for in this much of the file at most: far more than any language
// file holds before it, and a file that never ends (a device) is not read for ever.
constexpr std::size_t kSectionSearchLimit = std::size_t{1} << 20;

std::unique_ptr<char[]> AllocateEntry(std::size_t size) {
    return std::unique_ptr<char[]>(new (std::nothrow) char[size]);
}

void FormatPlaceholder(int number, char* text) {
    std::snprintf(text, kEntrySize, "Text %.3d", number);
}

void WritePlaceholder(int number) {
    if (LanguageTable[number]) {
        FormatPlaceholder(number, LanguageTable[number].get());
    }
}

// The bytes of a language file, one at a time.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // The next byte, or EOF at the end or after a read error.
    virtual int Next() = 0;
    // True once a read has failed (a folder, a device that refuses, a disk error).
    virtual bool Failed() const = 0;
};

class MemoryBytes : public ByteSource {
  public:
    explicit MemoryBytes(const std::string& bytes) : bytes_(bytes) {}
    int Next() override {
        return position_ < bytes_.size() ? static_cast<unsigned char>(bytes_[position_++]) : EOF;
    }
    bool Failed() const override { return false; }

  private:
    const std::string& bytes_;
    std::size_t position_ = 0;
};

class FileBytes : public ByteSource {
  public:
    // Only a plain file is read: a folder, a pipe or a device that bears the name is no language
    // file, and a pipe without a writer would block the open for ever.
    explicit FileBytes(const std::filesystem::path& path) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error) && !error) {
            file_.reset(OpenFile(path, "rb"));
        }
    }
    bool IsOpen() const { return file_ != nullptr; }
    int Next() override { return file_ ? std::getc(file_.get()) : EOF; }
    bool Failed() const override { return !file_ || std::ferror(file_.get()) != 0; }

  private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

// The language file read as a text-mode stream: a carriage return and line feed pair reads as
// one line feed; lines are read as fgets reads them, at most a given count of characters.
class TextModeLines {
  public:
    explicit TextModeLines(ByteSource& bytes) : bytes_(bytes) {}

    // Copies the next line (through its line feed, at most limit characters) into buffer and
    // terminates it. False at the end of the file or after a read error.
    bool ReadLine(char* buffer, int limit) {
        int count = 0;
        while (count < limit) {
            const int c = NextCharacter();
            if (c == EOF) {
                break;
            }
            buffer[count++] = static_cast<char>(c);
            if (c == '\n') {
                break;
            }
        }
        buffer[count] = '\0';
        return count > 0 && !bytes_.Failed();
    }

    // Bytes taken from the file so far.
    std::size_t Consumed() const { return consumed_; }
    bool Failed() const { return bytes_.Failed(); }

  private:
    int NextByte() {
        if (pending_ != kNone) {
            const int c = pending_;
            pending_ = kNone;
            return c;
        }
        const int c = bytes_.Next();
        consumed_ += c == EOF ? 0 : 1;
        return c;
    }

    int NextCharacter() {
        const int c = NextByte();
        if (c != '\r') {
            return c;
        }
        const int following = NextByte();
        if (following == '\n') {
            return '\n';
        }
        pending_ = following;
        return c;
    }

    static constexpr int kNone = -2;
    ByteSource& bytes_;
    int pending_ = kNone;
    std::size_t consumed_ = 0;
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
    while (lines.Consumed() < kSectionSearchLimit && lines.ReadLine(line, kLineReadLimit)) {
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

// 0 when the section line was found, 2 when not, 1 when a read failed.
int LoadLanguageLines(ByteSource& bytes) {
    TextModeLines lines(bytes);
    if (!FindSection(lines)) {
        return lines.Failed() ? 1 : 2;
    }
    for (int i = 0; i < kLanguageTableSize; ++i) {
        char line[kLineBufferSize] = {};
        if (!lines.ReadLine(line, kLineReadLimit)) {
            if (lines.Failed()) {
                return 1;
            }
            WritePlaceholder(i);
            continue;
        }
        if (!ReadTextLine(line, i)) {
            break;
        }
    }
    return lines.Failed() ? 1 : 0;
}

std::optional<std::string> ReadFirstLine(ByteSource& bytes, int limit) {
    if (limit <= 0 || limit >= static_cast<int>(kLineBufferSize)) {
        return std::nullopt;
    }
    char line[kLineBufferSize] = {};
    TextModeLines lines(bytes);
    if (!lines.ReadLine(line, limit)) {
        return std::nullopt;
    }
    return std::string(line);
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

std::filesystem::path LanguageFileLocation(int languageNumber) {
    char fileName[32];
    std::snprintf(fileName, sizeof fileName, "lang_%.2d.ini", languageNumber);
    return ProgramDirectory / fileName;
}

std::string LanguageFilePath(int languageNumber) {
    return PathText(LanguageFileLocation(languageNumber));
}

int LoadLanguageTable(int8_t languageNumber) {
    FileBytes file(LanguageFileLocation(languageNumber));
    if (!file.IsOpen()) {
        return 1;
    }
    return LoadLanguageLines(file);
}

std::optional<std::string> ReadLanguageFileFirstLine(int languageNumber, int limit) {
    FileBytes file(LanguageFileLocation(languageNumber));
    return ReadFirstLine(file, limit);
}

std::optional<std::string> FirstLineOfText(const std::string& fileContents, int limit) {
    MemoryBytes bytes(fileContents);
    return ReadFirstLine(bytes, limit);
}

int LoadLanguageText(const std::string& fileContents) {
    MemoryBytes bytes(fileContents);
    return LoadLanguageLines(bytes);
}

void FreeLanguageTable() {
    for (auto& entry : LanguageTable) {
        entry.reset();
    }
}

bool HoldsLanguageText(int number) {
    const char* text = LanguageEntry(number);
    char placeholder[kEntrySize];
    FormatPlaceholder(number, placeholder);
    return text[0] != '\0' && std::strcmp(text, placeholder) != 0;
}

const char* LanguageEntry(int number) {
    if (number < 0 || number >= kLanguageTableSize || !LanguageTable[number]) {
        return "";
    }
    return LanguageTable[number].get();
}

const char* LanguageEntryOr(int number, const char* fallback) {
    return HoldsLanguageText(number) ? LanguageEntry(number) : fallback;
}
