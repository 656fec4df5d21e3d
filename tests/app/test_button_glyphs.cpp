// The push-button glyphs are built into every program that shows the dialogs.
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace {

class ButtonGlyph : public testing::TestWithParam<const char*> {};

TEST_P(ButtonGlyph, IsA16By16PictureWithTransparency) {
    const QString path = QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(GetParam()));
    const QImage glyph(path);
    ASSERT_FALSE(glyph.isNull()) << path.toStdString() << " is not in the program's resources";
    EXPECT_EQ(glyph.size(), QSize(16, 16));
    ASSERT_TRUE(glyph.hasAlphaChannel());
    // Drawn on a transparent ground: the corners stay see-through, the middle is covered.
    EXPECT_EQ(qAlpha(glyph.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(glyph.pixel(15, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            opaque += qAlpha(glyph.pixel(x, y)) == 255 ? 1 : 0;
        }
    }
    EXPECT_GT(opaque, 30);
}

INSTANTIATE_TEST_SUITE_P(PushButtons, ButtonGlyph,
                         testing::Values("ok", "cancel", "program", "add", "remove"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

}  // namespace
