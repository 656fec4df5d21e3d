#include "ui/Texts.h"

#include "app/LanguageTable.h"
#include "app/TextDecoding.h"

std::string LanguageBytes(int number) {
    return LanguageEntry(number);
}

QString LanguageText(int number) {
    return DecodeLanguageBytes(LanguageBytes(number));
}

QString LanguageTextOr(int number, const char* english) {
    return DecodeLanguageBytes(LanguageEntryOr(number, english));
}
