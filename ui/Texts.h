#pragma once

#include <QString>
#include <string>

#include "app/TextDecoding.h"

// LanguageTable entry number, decoded for a widget.
QString LanguageText(int number);
// LanguageTable entry number as its raw bytes.
std::string LanguageBytes(int number);
// Entry number for texts that language files written before it lack: the English text when
// the loaded file does not hold it.
QString LanguageTextOr(int number, const char* english);
