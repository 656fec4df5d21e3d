#include <QCoreApplication>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/Terminal.h"
#include "link/SerialPlatform.h"

int main(int argc, char** argv) {
    // The Qt serial port needs an application object.
    QCoreApplication application(argc, argv);
    CatchInterrupts();
    IgnoreBrokenPipes();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The results are written in one piece at the end, so that a failure of standard output
    // is caught with its reason.
    std::ostringstream results;
    const int code = RunCli(arguments, results, std::cerr, ScreenOf(stderr));
    return WriteStandardOutput(results.str(), std::cerr, code);
}
