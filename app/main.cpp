#include "app/StartUp.h"

int main(int argc, char** argv) {
    return RunBrovane(argc, argv);
}
