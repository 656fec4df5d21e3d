#include "ui/Texts.h"

#include <QStringDecoder>
#include <array>

#include "app/LanguageTable.h"

namespace {

// Windows-1252 bytes 0x80-0x9F; the rest of the code page equals Latin-1. The five undefined
// bytes pass through as their C1 control characters.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeWindows1252(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char byte : bytes) {
        if (byte >= 0x80 && byte <= 0x9F) {
            text.append(QChar(kCp1252High[byte - 0x80]));
        } else {
            text.append(QChar(static_cast<char16_t>(byte)));
        }
    }
    return text;
}

}  // namespace

QString DecodeLanguageBytes(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) {
        return text;
    }
    return DecodeWindows1252(bytes);
}

std::string LanguageBytes(int number) {
    return LanguageEntry(number);
}

QString LanguageText(int number) {
    return DecodeLanguageBytes(LanguageBytes(number));
}
