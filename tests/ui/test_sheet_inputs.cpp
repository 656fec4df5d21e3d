// The inputs page: rows shown from the registers, type changes, the corrections made when a
// threshold or delay field is left, and the delay spinner.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <string>

#include "sheet_helpers.h"

namespace sheet_test {
namespace {

class InputsPage : public SheetTest {
  protected:
    QLineEdit* Sup(int n) const { return Edit(Named("EditSup", n)); }
    QLineEdit* Inf(int n) const { return Edit(Named("EditInf", n)); }
    QLineEdit* Delay(int n) const { return Edit(Named("EditDelay", n)); }
    std::string SupUnit(int n) const {
        return Find<QLabel>(Named("LabelSup", n))->text().toStdString();
    }
    std::string InfUnit(int n) const {
        return Find<QLabel>(Named("LabelInf", n))->text().toStdString();
    }
};

TEST_F(InputsPage, RowsShowTheRegisters) {
    SetInputRow(1, 1, 25, 511, 1023);
    SetInputRow(2, 2, 0, 0, 140);
    SetInputRow(3, 3, 250, 5, 95);
    SetInputRow(4, 0, 1, 17, 18);
    SetInputRow(5, 1, 0, 2000, 204);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));

    EXPECT_EQ(Shown(Combo("ComboInput1")), Placeholder(53));
    EXPECT_EQ(Shown(Inf(1)), "2.50");
    EXPECT_EQ(Shown(Sup(1)), "5.00");
    EXPECT_EQ(InfUnit(1), "V");
    EXPECT_EQ(Shown(Delay(1)), "250");

    EXPECT_EQ(Shown(Inf(2)), "-20");
    EXPECT_EQ(Shown(Sup(2)), "120");
    EXPECT_EQ(SupUnit(2), "\u00B0C");

    EXPECT_EQ(Shown(Inf(3)), "5");
    EXPECT_EQ(Shown(Sup(3)), "95");
    EXPECT_EQ(SupUnit(3), "%");
    EXPECT_EQ(Shown(Delay(3)), "2500");

    EXPECT_EQ(Shown(Combo("ComboInput4")), Placeholder(52));
    EXPECT_FALSE(Inf(4)->isEnabled());
    EXPECT_FALSE(Sup(4)->isEnabled());
    EXPECT_EQ(Shown(Inf(4)), " ");
    EXPECT_EQ(InfUnit(4), "");
    EXPECT_EQ(Shown(Delay(4)), "10");

    EXPECT_EQ(Shown(Inf(5)), "9.77") << "out of range, corrected only when left";
    EXPECT_EQ(Shown(Sup(5)), "1.00");
}

TEST_F(InputsPage, TypeCodeWithoutEntryShowsEmptyDisabledThresholds) {
    // An earlier showing of another card had volts on row 6.
    SetInputRow(6, 1, 3, 511, 1023);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    ASSERT_EQ(Shown(Inf(6)), "2.50");
    Click(Button("CancelBtn"));

    SetInputRow(6, 7, 3, 100, 200);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    EXPECT_EQ(Combo("ComboInput6")->currentIndex(), -1);
    EXPECT_EQ(Shown(Inf(6)), "");
    EXPECT_EQ(Shown(Sup(6)), "");
    EXPECT_EQ(Inf(6)->displayText().toStdString(), "") << "no mask shows its blanks";
    EXPECT_FALSE(Inf(6)->isEnabled());
    EXPECT_FALSE(Sup(6)->isEnabled());
    EXPECT_EQ(InfUnit(6), "");
    EXPECT_EQ(SupUnit(6), "");
    EXPECT_EQ(Shown(Delay(6)), "30");
    EXPECT_TRUE(Delay(6)->isEnabled());

    // Picking a type gives the row that type as usual.
    PickEntry(Combo("ComboInput6"), 3);
    EXPECT_EQ(Shown(Inf(6)), "0");
    EXPECT_EQ(Shown(Sup(6)), "100");
    EXPECT_TRUE(Sup(6)->isEnabled());
}

TEST_F(InputsPage, ColumnHeadingsAreDrawnFromTheirDesignedTop) {
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    for (const char* name : {"LabelType", "LabelSup", "LabelInf", "LabelDelay"}) {
        const auto* heading = Find<QLabel>(QString::fromLatin1(name));
        EXPECT_EQ(heading->y(), 21) << name;
        EXPECT_TRUE(heading->alignment() & Qt::AlignTop) << name;
        // One line of text: a label as tall as the font, not a box whose bottom line is used.
        EXPECT_EQ(heading->height(), heading->heightForWidth(heading->width())) << name;
        EXPECT_LT(heading->height(), 21) << name;
    }
}

struct TypeCase {
    const char* name;
    int entry;
    const char* lower;
    const char* upper;
    const char* unit;
    bool enabled;
};

class TypeChange : public InputsPage, public testing::WithParamInterface<TypeCase> {};

TEST_P(TypeChange, ShowsTheTypesDefaultsNotTheCards) {
    const TypeCase& c = GetParam();
    // The card's own values for every type, so that the defaults can be told apart.
    const uint8_t cardType = c.entry == 1 ? 2 : 1;
    SetInputRow(2, cardType, 7, 100, 120);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    PickEntry(Combo("ComboInput2"), c.entry);
    EXPECT_EQ(Shown(Inf(2)), c.lower);
    EXPECT_EQ(Shown(Sup(2)), c.upper);
    EXPECT_EQ(InfUnit(2), c.unit);
    EXPECT_EQ(SupUnit(2), c.unit);
    EXPECT_EQ(Inf(2)->isEnabled(), c.enabled);
    EXPECT_EQ(Sup(2)->isEnabled(), c.enabled);
    EXPECT_EQ(Shown(Delay(2)), "70") << "the delay is not touched";

    PickEntry(Combo("ComboInput2"), cardType);
    EXPECT_EQ(Shown(Inf(2)), cardType == 1 ? "0.00" : "-20")
        << "back to the card's type shows the defaults";
}

INSTANTIATE_TEST_SUITE_P(Entries, TypeChange,
                         testing::Values(TypeCase{"None", 0, " ", " ", "", false},
                                         TypeCase{"Volts", 1, "0.00", "5.00", "V", true},
                                         TypeCase{"Degrees", 2, "-20", "120", "\u00B0C", true},
                                         TypeCase{"Percent", 3, "0", "100", "%", true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LeaveCase {
    const char* name;
    uint8_t type;
    uint16_t lowerRegister;
    uint16_t upperRegister;
    bool upperField;  // which field is typed into and left
    const char* typed;
    const char* corrected;
    const char* other;  // the other field, untouched
};

class ThresholdLeave : public InputsPage, public testing::WithParamInterface<LeaveCase> {};

TEST_P(ThresholdLeave, CorrectsOnlyTheFieldLeft) {
    const LeaveCase& c = GetParam();
    SetInputRow(3, c.type, 0, c.lowerRegister, c.upperRegister);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    QLineEdit* field = c.upperField ? Sup(3) : Inf(3);
    QLineEdit* other = c.upperField ? Inf(3) : Sup(3);
    TypeInto(field, QString::fromLatin1(c.typed));
    TabAway();
    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(Shown(field), c.corrected);
    EXPECT_EQ(Shown(other), c.other);
}

// Register values: volts 1023 = 5.00, 410 = 2.00, 614 = 3.00; degrees 60 = 40 and 120 = 100.
INSTANTIATE_TEST_SUITE_P(
    Typed, ThresholdLeave,
    testing::Values(
        LeaveCase{"VoltsLowerAboveRangeTakesItsOwnDefault", 1, 0, 1023, false, "700", "0.00",
                  "5.00"},
        LeaveCase{"VoltsUpperBelowLowerIsRaised", 1, 410, 1023, true, "100", "2.00", "2.00"},
        LeaveCase{"VoltsLowerAboveUpperIsLowered", 1, 0, 614, false, "400", "3.00", "3.00"},
        LeaveCase{"VoltsEmptiedLowerIsZero", 1, 410, 1023, false, "", "0.00", "5.00"},
        LeaveCase{"VoltsEmptiedUpperIsRaisedToLower", 1, 410, 1023, true, "", "2.00", "2.00"},
        LeaveCase{"VoltsInRangeIsWrittenWithTwoDecimals", 1, 0, 1023, false, "1.5", "1.50", "5.00"},
        LeaveCase{"DegreesLowerAboveRange", 2, 0, 140, false, "130", "-20", "120"},
        LeaveCase{"DegreesUpperBelowRange", 2, 0, 140, true, "-30", "120", "-20"},
        LeaveCase{"DegreesLowerAboveUpper", 2, 0, 60, false, "50", "40", "40"},
        LeaveCase{"PercentLowerAboveRange", 3, 0, 100, false, "150", "0", "100"},
        LeaveCase{"PercentUpperAboveRange", 3, 0, 100, true, "150", "100", "0"},
        LeaveCase{"PercentInRangeStays", 3, 0, 100, true, "55", "55", "0"}),
    [](const auto& info) { return std::string(info.param.name); });

// A gap typed inside a masked field: the text reads up to the first blank, as the field shows
// it, not with the digits around the gap joined.
struct GapCase {
    const char* name;
    uint8_t type;
    bool upperField;
    const char* typed;
    const char* shownBeforeLeaving;
    const char* corrected;
};

class GapTyped : public InputsPage, public testing::WithParamInterface<GapCase> {};

TEST_P(GapTyped, ReadsUpToTheGap) {
    const GapCase& c = GetParam();
    // The full range: lower 0.00, -20 or 0; upper 5.00, 120 or 100.
    const uint16_t upper = c.type == 1 ? 1023 : (c.type == 2 ? 140 : 100);
    SetInputRow(4, c.type, 0, 0, upper);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    QLineEdit* field = c.upperField ? Sup(4) : Inf(4);
    TypeInto(field, QString::fromLatin1(c.typed));
    ASSERT_EQ(field->displayText().toStdString(), c.shownBeforeLeaving);
    TabAway();
    EXPECT_EQ(Shown(field), c.corrected);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, GapTyped,
    testing::Values(GapCase{"VoltsDecimalGap", 1, false, "2. 5", "2. 5", "2.00"},
                    GapCase{"VoltsLeadingGap", 1, true, " .25", " .25", "0.25"},
                    GapCase{"DegreesGap", 2, false, "1 0", "1 0", "1"},
                    GapCase{"DegreesSignGap", 2, true, "- 5", "- 5", "0"},
                    GapCase{"PercentGap", 3, false, "1 0", "1 0", "1"},
                    GapCase{"PercentLeadingGap", 3, true, " 50", " 50", "50"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InputsPage, SwitchingTheTabLeavesTheField) {
    SetInputRow(2, 3, 0, 0, 100);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    TypeInto(Inf(2), "150");
    TypeInto(Delay(2), "1234");
    ASSERT_TRUE(Delay(2)->hasFocus());
    EXPECT_EQ(Shown(Inf(2)), "0") << "clicking into the delay field left the lower field";
    ClickTab(*sheet, sheet->Com0Dialog);
    EXPECT_FALSE(Delay(2)->hasFocus());
    EXPECT_EQ(Shown(Delay(2)), "1230");
    EXPECT_EQ(Spinner("UpDownDelay2")->Position(), 1230);

    ClickTab(*sheet, sheet->InputDialog);
    TypeInto(Sup(2), "250");
    ClickTab(*sheet, sheet->OutputDialog);
    EXPECT_EQ(Shown(Sup(2)), "100");
}

TEST_F(InputsPage, LeavingTheFirstUpperFieldPutsBothCaretsAtTheStart) {
    SetInputRow(1, 3, 0, 10, 90);
    SetInputRow(2, 3, 0, 10, 90);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    Inf(1)->setCursorPosition(2);
    TypeInto(Sup(1), "80");
    ASSERT_EQ(Sup(1)->cursorPosition(), 2);
    QTest::mouseClick(Delay(1), Qt::LeftButton);
    ASSERT_TRUE(Delay(1)->hasFocus());
    EXPECT_EQ(Sup(1)->cursorPosition(), 0);
    EXPECT_EQ(Inf(1)->cursorPosition(), 0);

    Inf(2)->setCursorPosition(2);
    TypeInto(Sup(2), "80");
    QTest::mouseClick(Delay(2), Qt::LeftButton);
    ASSERT_TRUE(Delay(2)->hasFocus());
    EXPECT_EQ(Sup(2)->cursorPosition(), 2) << "other rows keep their carets";
    EXPECT_EQ(Inf(2)->cursorPosition(), 2);
}

struct DelayCase {
    const char* name;
    const char* typed;
    const char* corrected;
};

class DelayLeave : public InputsPage, public testing::WithParamInterface<DelayCase> {};

TEST_P(DelayLeave, CorrectsInPlaceAndTheSpinnerContinuesFromThere) {
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    TypeInto(Delay(4), QString::fromLatin1(GetParam().typed));
    TabAway();
    EXPECT_EQ(Shown(Delay(4)), GetParam().corrected);
    const int corrected = std::stoi(GetParam().corrected);
    EXPECT_EQ(Spinner("UpDownDelay4")->Position(), corrected);
    ClickArrow(Spinner("UpDownDelay4"), UpDown::Button::Down);
    EXPECT_EQ(Shown(Delay(4)), std::to_string(std::max(corrected - 10, 0)));
}

INSTANTIATE_TEST_SUITE_P(Typed, DelayLeave,
                         testing::Values(DelayCase{"RoundedDown", "1234", "1230"},
                                         DelayCase{"BelowTen", "5", "0"},
                                         DelayCase{"AboveRange", "9999", "2500"},
                                         DelayCase{"Highest", "2500", "2500"},
                                         DelayCase{"Empty", "", "0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InputsPage, DelayFieldsTakeDigitsOnlyAndAtMostFour) {
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    TypeInto(Delay(1), "1a2-b3 45");
    EXPECT_EQ(Shown(Delay(1)), "1234");
}

TEST_F(InputsPage, DelayArrowsStepByTenWithinTheRange) {
    SetInputRow(2, 0, 249, 0, 1023);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    UpDown* spinner = Spinner("UpDownDelay2");
    ClickArrow(spinner, UpDown::Button::Up);
    EXPECT_EQ(Shown(Delay(2)), "2500");
    ClickArrow(spinner, UpDown::Button::Up);
    EXPECT_EQ(Shown(Delay(2)), "2500");

    // Typed but not left: the arrows go on from the spinner's own position.
    TypeInto(Delay(2), "100");
    ClickArrow(spinner, UpDown::Button::Down);
    EXPECT_EQ(Shown(Delay(2)), "2490");
}

TEST_F(InputsPage, StoredDelayAboveTheRangeIsShownUntilTheFieldIsLeft) {
    SetInputRow(7, 0, 255, 0, 1023);
    ASSERT_TRUE(ShowOn(sheet->InputDialog));
    EXPECT_EQ(Shown(Delay(7)), "2550");
    QTest::mouseClick(Delay(7), Qt::LeftButton);
    TabAway();
    EXPECT_EQ(Shown(Delay(7)), "2500");
}

}  // namespace
}  // namespace sheet_test
