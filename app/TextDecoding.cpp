#include "app/TextDecoding.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "model/TextEncoding.h"

namespace {

QString DecodeWindows1252(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char byte : bytes) {
        if (byte >= 0x80 && byte <= 0x9F) {
            text.append(QChar(kWindows1252High[byte - 0x80]));
        } else {
            text.append(QChar(static_cast<char16_t>(byte)));
        }
    }
    return text;
}

std::optional<QString> DecodeUtf8(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError()) {
        return std::nullopt;
    }
    return text;
}

// Bytes a UTF-8 sequence takes, from its lead byte; 0 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// Length of the bytes before a UTF-8 character that the text's length limit cut in two; the
// whole length when the text does not end in such a piece.
std::size_t LengthBeforeCutCharacter(std::string_view bytes) {
    std::size_t start = bytes.size();
    while (start > 0 && bytes.size() - start < 3 &&
           (static_cast<unsigned char>(bytes[start - 1]) & 0xC0) == 0x80) {
        --start;
    }
    if (start == 0) {
        return bytes.size();
    }
    const std::size_t lead = start - 1;
    const std::size_t needed = SequenceLength(static_cast<unsigned char>(bytes[lead]));
    return needed > bytes.size() - lead ? lead : bytes.size();
}

bool HasMultiByteCharacter(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
}

}  // namespace

QString DecodeLanguageBytes(const std::string& bytes) {
    if (std::optional<QString> text = DecodeUtf8(bytes)) {
        return *text;
    }
    // A UTF-8 text that a length limit cut in the middle of a character loses that character
    // only. It counts as UTF-8 when the rest holds at least one whole multi-byte character: a
    // Windows-1252 text whose last character happens to look like a lead byte stays whole.
    const std::string_view whole(bytes);
    const std::string_view before = whole.substr(0, LengthBeforeCutCharacter(whole));
    if (before.size() < whole.size() && HasMultiByteCharacter(before)) {
        if (std::optional<QString> text = DecodeUtf8(before)) {
            return *text;
        }
    }
    return DecodeWindows1252(bytes);
}
