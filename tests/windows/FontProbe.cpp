// Prints the family of the font the program's windows are drawn with, set up as the program sets
// it up from the folder it runs from. The Windows tests run it from a copy of the program folder
// under Wine, where the host's fonts are out of reach.
#include <QApplication>
#include <QFontInfo>
#include <cstdio>

#include "ui/Appearance.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ApplyApplicationAppearance(application);
    const QFontInfo info(QApplication::font());
    std::printf("%s\n", info.family().toUtf8().constData());
    return 0;
}
