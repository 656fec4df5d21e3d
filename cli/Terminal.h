#pragma once

#include <cstdio>

// Whether the stream writes to a terminal (the one platform call of brovane-cli).
bool IsTerminal(std::FILE* stream);
