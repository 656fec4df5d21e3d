#include "cli/Terminal.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

ErrorScreen ScreenOf(std::FILE* stream) {
    ErrorScreen screen;
#ifdef _WIN32
    screen.terminal = _isatty(_fileno(stream)) != 0;
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (screen.terminal && GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        screen.columns = info.srWindow.Right - info.srWindow.Left + 1;
        screen.rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    }
#else
    screen.terminal = ::isatty(::fileno(stream)) != 0;
    winsize size = {};
    if (screen.terminal && ::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0) {
        screen.columns = size.ws_col;
        screen.rows = size.ws_row;
    }
#endif
    return screen;
}
