#pragma once

#include <cstdio>

// Where standard error shows the progress: a terminal of a size, or no terminal. A size of 0
// is unknown: lines are then not cut.
struct ErrorScreen {
    bool terminal = false;
    int columns = 0;
    int rows = 0;
};

// Whether the stream writes to a terminal, and the terminal's size (the platform calls of
// brovane-cli's screen).
ErrorScreen ScreenOf(std::FILE* stream);
