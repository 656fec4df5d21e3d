#include "app/StartUp.h"

#include <QApplication>

int RunBrovane(int argc, char** argv) {
    QApplication application(argc, argv);
    return 0;
}
