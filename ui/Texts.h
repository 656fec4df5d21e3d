#pragma once

#include <QString>
#include <string>

#include "app/TextDecoding.h"

// LanguageTable entry number, decoded for a widget.
QString LanguageText(int number);
// LanguageTable entry number as its raw bytes.
std::string LanguageBytes(int number);
