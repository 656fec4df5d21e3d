// The push-button glyphs are built into every program that shows the dialogs.
#include <QImage>
#include <QString>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace {

// Each glyph at 16 x 16 (NAME.png) and, for scaled displays, at 24 x 24 and 32 x 32.
class ButtonGlyph : public testing::TestWithParam<std::tuple<const char*, int>> {};

TEST_P(ButtonGlyph, IsASquarePictureOfItsSizeWithTransparency) {
    const auto [name, size] = GetParam();
    const QString suffix = size == 16 ? QString() : QStringLiteral("-%1").arg(size);
    const QString path = QStringLiteral(":/glyphs/%1%2.png").arg(QLatin1String(name), suffix);
    const QImage glyph(path);
    ASSERT_FALSE(glyph.isNull()) << path.toStdString() << " is not in the program's resources";
    EXPECT_EQ(glyph.size(), QSize(size, size));
    ASSERT_TRUE(glyph.hasAlphaChannel());
    // Drawn on a transparent ground: the corners stay see-through, the middle is covered.
    EXPECT_EQ(qAlpha(glyph.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(glyph.pixel(size - 1, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            opaque += qAlpha(glyph.pixel(x, y)) == 255 ? 1 : 0;
        }
    }
    // As much of the picture covered as at 16 x 16 (30 of 256 pixels), in proportion.
    EXPECT_GT(opaque, 30 * size * size / 256);
}

INSTANTIATE_TEST_SUITE_P(PushButtons, ButtonGlyph,
                         testing::Combine(testing::Values("ok", "cancel", "program", "add",
                                                          "remove"),
                                          testing::Values(16, 24, 32)),
                         [](const testing::TestParamInfo<ButtonGlyph::ParamType>& info) {
                             return std::string(std::get<0>(info.param)) +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace
