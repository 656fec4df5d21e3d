// Renders every page of the configuration sheet in each language file that lies beside the
// program, and checks that no caption is cut off. With BROVANE_SCREENSHOTS set to a folder the
// pictures are written there as <language>/<page>.png (scripts/screenshots.sh).
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <cstdlib>
#include <fstream>

#include "app/LanguageTable.h"
#include "app/ProgramDirectory.h"
#include "sheet_helpers.h"
#include "ui/Appearance.h"

namespace sheet_test {
namespace {

constexpr int kLanguageFiles = 3;

// The language's name from the file's first line, as a folder name.
std::string LanguageName(int number) {
    std::ifstream file(LanguageFileLocation(number), std::ios::binary);
    std::string line;
    std::getline(file, line);
    std::string name;
    for (char c : line) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += c;
        }
    }
    // No name: the file's own, lang_NN.
    return name.empty() ? LanguageFileLocation(number).stem().native() : name;
}

// Room a control leaves for its text, and the text.
struct Caption {
    QString control;
    QString text;
    int needed;
    int room;
};

std::vector<Caption> CutCaptions(const TTPropSheet& sheet) {
    std::vector<Caption> cut;
    const auto check = [&cut](const QWidget* widget, const QString& text, int needed, int room) {
        if (needed > room) {
            cut.push_back({widget->objectName(), text, needed, room});
        }
    };
    for (const QLabel* label : sheet.findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        if (label->wordWrap()) {
            const QRect needed = metrics.boundingRect(
                label->contentsRect(), Qt::TextWordWrap | label->alignment(), label->text());
            check(label, label->text(), needed.height(), label->contentsRect().height());
            check(label, label->text(), needed.width(), label->contentsRect().width());
        } else {
            check(label, label->text(), metrics.horizontalAdvance(label->text()),
                  label->contentsRect().width());
        }
    }
    for (const QGroupBox* group : sheet.findChildren<QGroupBox*>()) {
        const QFontMetrics metrics(group->font());
        // The frame's title runs from the group's left edge plus the style's indent.
        check(group, group->title(), metrics.horizontalAdvance(group->title()) + 16,
              group->width());
    }
    for (const QAbstractButton* button : sheet.findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty()) {
            continue;
        }
        const QFontMetrics metrics(button->font());
        check(button, button->text(),
              metrics.horizontalAdvance(button->text()) + button->iconSize().width() + 12,
              button->width());
    }
    for (const QComboBox* combo : sheet.findChildren<QComboBox*>()) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        const QFontMetrics metrics(combo->font());
        for (int i = 0; i < combo->count(); ++i) {
            check(combo, combo->itemText(i), metrics.horizontalAdvance(combo->itemText(i)),
                  field.width());
        }
    }
    for (const QLineEdit* field : sheet.findChildren<QLineEdit*>()) {
        QStyleOptionFrame option;
        option.initFrom(field);
        option.lineWidth =
            field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
        const QRect contents =
            field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
        const QMargins margins = field->textMargins();
        constexpr int kInnerMargin = 2;  // the toolkit's own margin on either side of the text
        const QFontMetrics metrics(field->font());
        check(field, field->displayText(), metrics.horizontalAdvance(field->displayText()),
              contents.width() - margins.left() - margins.right() - 2 * kInnerMargin);
    }
    for (const QListWidget* list : sheet.findChildren<QListWidget*>()) {
        const QFontMetrics metrics(list->font());
        for (int i = 0; i < list->count(); ++i) {
            check(list, list->item(i)->text(), metrics.horizontalAdvance(list->item(i)->text()),
                  list->viewport()->width() - 6);
        }
    }
    const QTabBar* tabs = sheet.PageControl->tabBar();
    int tabsWidth = 0;
    for (int i = 0; i < tabs->count(); ++i) {
        tabsWidth += tabs->isTabVisible(i) ? tabs->tabRect(i).width() : 0;
    }
    check(tabs, QStringLiteral("all tabs"), tabsWidth, sheet.PageControl->width());
    return cut;
}

class SheetScreenshots : public SheetTest {
  protected:
    void SetUp() override {
        ApplyApplicationAppearance(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        ProgramDirectory = ExecutableDirectory();
        SheetTest::SetUp();
        FillSample();
    }
    // A card as a technician would meet it: every page has something to show.
    void FillSample() {
        Image().SetValue(0, 0x0104);
        Image().SetValue(1, 0x0021);
        Image().SetValue(2, 0x0165);
        Image().SetValue(3, 0x0021);
        Image().SetValue(4, 0xFF40);
        Image().SetValue(7, 0xA905);
        Image().SetValue(8, 0x0013);
        Image().SetValue(9, 0x0005);
        SetInputRow(1, 1, 25, 205, 1023);
        SetInputRow(2, 2, 50, 10, 120);
        SetInputRow(3, 3, 75, 5, 95);
        SetInputRow(4, 0, 100, 0, 1023);
        SetInputRow(5, 1, 125, 0, 511);
        SetInputRow(6, 2, 150, 0, 140);
        SetInputRow(7, 3, 175, 20, 80);
        SetInputRow(8, 0, 200, 0, 1023);
    }
};

TEST_F(SheetScreenshots, EveryPageInEveryLanguageShowsItsCaptionsWhole) {
    const char* folder = std::getenv("BROVANE_SCREENSHOTS");
    int languages = 0;
    for (int number = 0; number < kLanguageFiles; ++number) {
        if (LoadLanguageTable(static_cast<int8_t>(number)) != 0) {
            continue;
        }
        ++languages;
        const std::string language = LanguageName(number);
        ASSERT_TRUE(Show());
        for (int page = 0; page < sheet->PageControl->count(); ++page) {
            sheet->PageControl->setCurrentIndex(page);
            const QImage picture = sheet->grab().toImage();
            ASSERT_FALSE(picture.isNull());
            EXPECT_EQ(picture.size(), QSize(392, 423));
            if (folder != nullptr) {
                const QString path = QString::fromLocal8Bit(folder) + QLatin1Char('/') +
                                     QString::fromStdString(language);
                ASSERT_TRUE(QDir().mkpath(path));
                const QString file = path + QLatin1Char('/') +
                                     sheet->PageControl->widget(page)->objectName() +
                                     QStringLiteral(".png");
                EXPECT_TRUE(picture.save(file)) << file.toStdString();
            }
        }
        for (const Caption& caption : CutCaptions(*sheet)) {
            ADD_FAILURE() << language << ": " << caption.control.toStdString() << " \""
                          << caption.text.toStdString() << "\" needs " << caption.needed
                          << " px, has " << caption.room;
        }
        sheet->PageControl->setCurrentIndex(0);
        Click(Button("CancelBtn"));
    }
    if (languages == 0) {
        GTEST_SKIP() << "no language file beside the program";
    }
}

}  // namespace
}  // namespace sheet_test
