// The buttons' icons carry every drawn size of their glyph, so that a display scaled to 150 % or
// 200 % gets the sharp picture of its size instead of the 16 x 16 one enlarged.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <cstdlib>

#include <gtest/gtest.h>

#include "ui/Glyphs.h"
#include "ui/LanguageDialog.h"

namespace {

TEST(GlyphIcons, CarryTheSixteenTwentyFourAndThirtyTwoPixelPictures) {
    for (const char* name : {"ok", "cancel", "program", "add", "remove"}) {
        const QIcon icon = GlyphIcon(name);
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {24, 24}, {32, 32}})) << name;
    }
}

// Beyond the rounding of a premultiplied pixmap at the half-covered edge pixels.
bool Differs(QRgb a, QRgb b) {
    const auto apart = [](int x, int y) { return std::abs(x - y) > 3; };
    return apart(qAlpha(a), qAlpha(b)) ||
           (qAlpha(a) > 16 &&
            (apart(qRed(a), qRed(b)) || apart(qGreen(a), qGreen(b)) || apart(qBlue(a), qBlue(b))));
}

// At 200 % a 16-point glyph is painted from the 32 x 32 picture itself.
TEST(GlyphIcons, ADoubledButtonPaintsTheThirtyTwoPixelPicture) {
    const QPixmap painted = GlyphIcon("ok").pixmap(QSize(16, 16), 2.0);
    const QImage drawn(QStringLiteral(":/glyphs/ok-32.png"));
    const QImage shown = painted.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage expected = drawn.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), QSize(32, 32));
    int differing = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            differing += Differs(shown.pixel(x, y), expected.pixel(x, y)) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(GlyphIcons, TheDialogsUseThem) {
    TTLanguageDialog dialog;
    const auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("ButtonOk"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->icon().availableSizes().size(), 3);
}

}  // namespace
