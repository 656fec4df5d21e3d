#include "ui/Glyphs.h"

namespace {

constexpr int kGlyphSizes[] = {16, 24, 32};

}  // namespace

QIcon GlyphIcon(const char* name) {
    QIcon icon;
    for (int size : kGlyphSizes) {
        const QString suffix = size == 16 ? QString() : QStringLiteral("-%1").arg(size);
        icon.addFile(QStringLiteral(":/glyphs/%1%2.png").arg(QLatin1String(name), suffix),
                     QSize(size, size));
    }
    return icon;
}
