#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/Terminal.h"

int main(int argc, char** argv) {
    // The Qt serial port needs an application object.
    QCoreApplication application(argc, argv);
    CatchInterrupts();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunCli(arguments, std::cout, std::cerr, IsTerminal(stderr));
}
