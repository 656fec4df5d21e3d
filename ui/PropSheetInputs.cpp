// The inputs page of the configuration sheet: one row per input.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <string>

#include "model/Fields.h"
#include "ui/PropSheet.h"
#include "ui/PropSheetParts.h"
#include "ui/Texts.h"
#include "ui/UpDown.h"

using namespace sheet_parts;

namespace {

// Inputs page.
constexpr int kHeadingY = 21;
constexpr int kFirstInputRowY = 57;
constexpr int kInputRowPitch = 33;
constexpr int kInputLabelX = 10;
constexpr int kInputTypeX = 64;
constexpr int kInputTypeWidth = 97;
constexpr int kSupX = 178;
constexpr int kSupUnitX = 210;
constexpr int kInfX = 243;
constexpr int kInfUnitX = 275;
constexpr int kThresholdWidth = 28;
constexpr int kUnitWidth = 30;
constexpr int kDelayX = 308;
constexpr int kDelayWidth = 31;
constexpr int kUpDownX = 339;
constexpr int kUpDownWidth = 15;
constexpr int kDelayMaxLength = 4;

// Qt input masks of the threshold fields by input type. Qt's "0" is an optional digit and "#"
// an optional digit or sign; the blank shown for a free position follows the ";". Type 0 has
// a single literal blank.
const char* const kThresholdMasks[] = {" ", "0.00; ", "#00; ", "000; "};

// The threshold and delay fields are narrow: their text may use the room of the inner margin
// the toolkit keeps, so that four digits show whole in the 11-pixel font.
constexpr QMargins kNarrowFieldMargins(-2, 0, -2, 0);

}  // namespace

void TTPropSheet::BuildInputPage() {
    const auto heading = [this](const char* name, int x, int width) {
        auto* label = Make<QLabel>(InputDialog, QString::fromLatin1(name),
                                   QRect(x, kHeadingY, width, kFirstInputRowY - kHeadingY - 2));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        return label;
    };
    LabelType = heading("LabelType", kInputTypeX, kInputTypeWidth);
    LabelSup = heading("LabelSup", kSupX, kInfX - kSupX - 2);
    LabelInf = heading("LabelInf", kInfX, kDelayX - kInfX - 2);
    LabelDelay = heading("LabelDelay", kDelayX, 66);

    const auto threshold = [this](const char* name, int n, int x, int y) {
        auto* field = Make<QLineEdit>(InputDialog, Numbered(name, n),
                                      QRect(x, y, kThresholdWidth, kFieldHeight));
        field->setTextMargins(kNarrowFieldMargins);
        field->setInputMask(QString::fromLatin1(kThresholdMasks[kInputVolts]));
        return field;
    };
    for (int n = 1; n <= kInputCount; ++n) {
        const int i = n - 1;
        const int y = kFirstInputRowY + kInputRowPitch * i;
        LabelInputN[i] = MakeRowLabel(InputDialog, Numbered("LabelInput", n), kInputLabelX, y,
                                      kInputTypeX - kInputLabelX - 2);
        LabelInputN[i]->setText(QStringLiteral("Input ") + QString::number(n));
        ComboInputN[i] =
            MakeList(InputDialog, Numbered("ComboInput", n), kInputTypeX, y, kInputTypeWidth);
        EditSupN[i] = threshold("EditSup", n, kSupX, y);
        LabelSupN[i] = MakeRowLabel(InputDialog, Numbered("LabelSup", n), kSupUnitX, y, kUnitWidth);
        EditInfN[i] = threshold("EditInf", n, kInfX, y);
        LabelInfN[i] = MakeRowLabel(InputDialog, Numbered("LabelInf", n), kInfUnitX, y, kUnitWidth);
        LabelSupN[i]->setText(QStringLiteral("\u00B0C"));
        LabelInfN[i]->setText(QStringLiteral("\u00B0C"));

        EditDelayN[i] = Make<QLineEdit>(InputDialog, Numbered("EditDelay", n),
                                        QRect(kDelayX, y, kDelayWidth, kFieldHeight));
        EditDelayN[i]->setTextMargins(kNarrowFieldMargins);
        EditDelayN[i]->setMaxLength(kDelayMaxLength);
        // Digits only: a letter typed into a delay field has no effect.
        EditDelayN[i]->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]*")), EditDelayN[i]));
        UpDownDelayN[i] = Make<UpDown>(InputDialog, Numbered("UpDownDelay", n),
                                       QRect(kUpDownX, y, kUpDownWidth, kFieldHeight));
        UpDownDelayN[i]->SetRange(0, kDelayMaximum);
        UpDownDelayN[i]->SetIncrement(kDelayIncrement);
        UpDownDelayN[i]->SetAssociate(EditDelayN[i]);
        LabelInputN[i]->setBuddy(ComboInputN[i]);
        LabelSupN[i]->setBuddy(EditSupN[i]);
        LabelInfN[i]->setBuddy(EditInfN[i]);
    }
    // Each column heading names the field of the first row below it.
    LabelType->setBuddy(ComboInputN[0]);
    LabelSup->setBuddy(EditSupN[0]);
    LabelInf->setBuddy(EditInfN[0]);
    LabelDelay->setBuddy(EditDelayN[0]);
}

void TTPropSheet::NameInputControls() {
    // Each control is called by its row and its column heading: "Input 3 Lower".
    const auto name = [](const QLabel* row, int heading) {
        return row->text() + QLatin1Char(' ') + LanguageText(heading);
    };
    for (int i = 0; i < kInputCount; ++i) {
        ComboInputN[i]->setAccessibleName(name(LabelInputN[i], 48));
        EditSupN[i]->setAccessibleName(name(LabelInputN[i], 49));
        EditInfN[i]->setAccessibleName(name(LabelInputN[i], 50));
        EditDelayN[i]->setAccessibleName(name(LabelInputN[i], 51));
        NameArrows(UpDownDelayN[i], EditDelayN[i]->accessibleName());
    }
}

void TTPropSheet::ShowInputPage(const SheetState& state) {
    NameInputControls();
    for (int n = 1; n <= kInputCount; ++n) {
        FillList(ComboInputN[n - 1], LanguageItems(52, 4), state.inputs[n - 1].type);
    }
    for (int n = 1; n <= kInputCount; ++n) {
        const int i = n - 1;
        const InputRowState& row = state.inputs[i];
        // The type's units and enabled state, with the thresholds the card holds.
        std::optional<ThresholdRowView> view = ShowThresholds(row.type, nullptr, 0);
        if (view) {
            view->lower = row.lower;
            view->upper = row.upper;
            ShowData(row.type, *view, LabelInfN[i], LabelSupN[i], EditInfN[i], EditSupN[i]);
        }
        // What the fields show of the card's registers, which their masks may cut.
        shownLower_[i] = Text(EditInfN[i]);
        shownUpper_[i] = Text(EditSupN[i]);
    }
    for (int n = 1; n <= kInputCount; ++n) {
        UpDownDelayN[n - 1]->SetPosition(
            static_cast<int>(LenientInteger(state.inputs[n - 1].delay)));
    }
}

void TTPropSheet::ShowData(int type, const ThresholdRowView& view, QLabel* lowerUnit,
                           QLabel* upperUnit, QLineEdit* lower, QLineEdit* upper) {
    // A type code the list does not offer has no mask: its fields show nothing.
    const bool listed = type >= kInputNone && type <= kInputPercent;
    const QString mask = listed ? QString::fromLatin1(kThresholdMasks[type]) : QString();
    upper->setInputMask(mask);
    lower->setInputMask(mask);
    upper->setEnabled(view.enabled);
    lower->setEnabled(view.enabled);
    const QString unit = QString::fromStdString(view.unit);
    upperUnit->setText(unit);
    lowerUnit->setText(unit);
    // The unit is no longer the fields' name, but a screen reader still tells it.
    upper->setAccessibleDescription(unit);
    lower->setAccessibleDescription(unit);
    if (type == kInputNone) {
        upper->setText(QString::fromStdString(view.upper));
        lower->setText(QString::fromStdString(view.lower));
    } else {
        lower->setText(QString::fromStdString(view.lower));
        upper->setText(QString::fromStdString(view.upper));
    }
}

void TTPropSheet::ComboInputNChange(int n) {
    const int i = n - 1;
    const int type = ComboInputN[i]->currentIndex();
    if (const std::optional<ThresholdRowView> view = ShowThresholds(type, nullptr, 0)) {
        ShowData(type, *view, LabelInfN[i], LabelSupN[i], EditInfN[i], EditSupN[i]);
    }
    // The row now shows the type's defaults, no longer the card's thresholds.
    shownLower_[i].reset();
    shownUpper_[i].reset();
}

void TTPropSheet::EditSupNChange(int n) {
    const int i = n - 1;
    if (n == 1) {
        EditSupN[i]->setCursorPosition(0);
        EditInfN[i]->setCursorPosition(0);
    }
    ValidateInput(ComboInputN[i]->currentIndex(), EditSupN[i], ThresholdSide::Upper, EditInfN[i]);
}

void TTPropSheet::EditInfNChange(int n) {
    const int i = n - 1;
    ValidateInput(ComboInputN[i]->currentIndex(), EditInfN[i], ThresholdSide::Lower, EditSupN[i]);
}

void TTPropSheet::EditDelayNChange(int n) {
    const int i = n - 1;
    ValidateInputEdit(EditDelayN[i]);
    // The arrows continue from the corrected value.
    UpDownDelayN[i]->SetPosition(static_cast<int>(LenientInteger(Text(EditDelayN[i]))));
}

void TTPropSheet::ValidateInput(int type, QLineEdit* field, ThresholdSide side, QLineEdit* other) {
    if (const std::optional<std::string> corrected =
            ValidateThreshold(type, Text(field), side, Text(other))) {
        ReplaceText(field, *corrected);
    }
}

void TTPropSheet::ValidateInputEdit(QLineEdit* field) {
    ReplaceText(field, ValidateDelay(Text(field)));
}

InputRowState TTPropSheet::TransferDataToMemory(int n) const {
    const int i = n - 1;
    InputRowState row{ComboInputN[i]->currentIndex(), Text(EditInfN[i]), Text(EditSupN[i]),
                      Text(EditDelayN[i])};
    row.lowerUnchanged = shownLower_[i] == row.lower;
    row.upperUnchanged = shownUpper_[i] == row.upper;
    return row;
}
