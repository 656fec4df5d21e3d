#pragma once

#include <QString>
#include <string>

// Language texts are bytes: Windows-1252, or UTF-8 when a text is valid UTF-8 (also when its
// length limit cut its last character in two: that character is dropped).
QString DecodeLanguageBytes(const std::string& bytes);
