// The outputs page of the configuration sheet: events assigned to each output and its logic.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <vector>

#include "model/Fields.h"
#include "ui/Messages.h"
#include "ui/PropSheet.h"
#include "ui/PropSheetParts.h"
#include "ui/Texts.h"

using namespace sheet_parts;

namespace {

// Outputs page.
constexpr int kOutputLeftX = 19;
constexpr int kOutputRightX = 208;
constexpr int kOutputColumnWidth = 145;
constexpr int kTextAllEvents = 58;
constexpr int kTextAssignedEvents = 59;
constexpr int kTextAdd = 102;
constexpr int kTextRemove = 103;
constexpr int kTextAddTip = 104;
constexpr int kTextRemoveTip = 105;

}  // namespace

void TTPropSheet::BuildOutputPage() {
    const auto label = [this](const char* name, int x, int y) {
        return Make<QLabel>(OutputDialog, QString::fromLatin1(name),
                            QRect(x, y, kOutputColumnWidth, 15));
    };
    LabelOutput = label("LabelOutput", kOutputLeftX, 24);
    ComboOutput =
        MakeList(OutputDialog, QStringLiteral("ComboOutput"), kOutputLeftX, 44, kOutputColumnWidth);
    LabelLogic = label("LabelLogic", kOutputRightX, 24);
    ComboLogic =
        MakeList(OutputDialog, QStringLiteral("ComboLogic"), kOutputRightX, 44, kOutputColumnWidth);
    LabelEvent = label("LabelEvent", kOutputLeftX, 98);
    ListEvent = Make<QListWidget>(OutputDialog, QStringLiteral("ListEvent"),
                                  QRect(kOutputLeftX, 115, kOutputColumnWidth, 201));
    LabelEventAss = label("LabelEventAss", kOutputRightX, 98);
    ListEventAss = Make<QListWidget>(OutputDialog, QStringLiteral("ListEventAss"),
                                     QRect(kOutputRightX, 114, kOutputColumnWidth, 201));
    ListEvent->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListEventAss->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ButtonAdd =
        MakeGlyphButton(OutputDialog, QStringLiteral("ButtonAdd"), QRect(167, 163, 39, 25), "add");
    ButtonSub = MakeGlyphButton(OutputDialog, QStringLiteral("ButtonSub"), QRect(167, 220, 39, 25),
                                "remove");
    LabelOutput->setBuddy(ComboOutput);
    LabelLogic->setBuddy(ComboLogic);
    LabelEvent->setBuddy(ListEvent);
    LabelEventAss->setBuddy(ListEventAss);
}

void TTPropSheet::ShowOutputPage() {
    QStringList outputs;
    for (int k = 1; k <= kOutputCount; ++k) {
        outputs << QStringLiteral("Output") + QString::number(k);
    }
    FillList(ComboOutput, outputs, 0);
    FillList(ComboLogic, {QStringLiteral("Normal ON"), QStringLiteral("Normal OFF")},
             Outputs.IsNormalOff(1) ? 1 : 0);

    for (int e = 1; e <= static_cast<int>(Names.size()); ++e) {
        Names[e - 1] = LanguageBytes(kFirstEventText - 1 + e);
    }
    const QSignalBlocker blocker(ListEvent);
    ListEvent->clear();
    for (int event : NamedEvents(Names)) {
        auto* item = new QListWidgetItem(DecodeLanguageBytes(Names[event - 1]), ListEvent);
        item->setData(Qt::UserRole, event);
    }
    RebuildListEventAss();
}

int TTPropSheet::ChosenOutput() const {
    return ComboOutput->currentIndex() + 1;
}

void TTPropSheet::RebuildListEventAss() {
    const QSignalBlocker blocker(ListEventAss);
    ListEventAss->clear();
    for (int event : Outputs.AssignedEvents(ChosenOutput(), Names)) {
        auto* item = new QListWidgetItem(DecodeLanguageBytes(Names[event - 1]), ListEventAss);
        item->setData(Qt::UserRole, event);
    }
    ButtonSub->setEnabled(ListEventAss->count() > 0);
    NameOutputControls();
}

void TTPropSheet::NameOutputControls() {
    const QString output = ComboOutput->currentText() + QStringLiteral(": ");
    ListEvent->setAccessibleName(output + LanguageText(kTextAllEvents));
    ListEventAss->setAccessibleName(output + LanguageText(kTextAssignedEvents));
    ButtonAdd->setAccessibleName(LanguageTextOr(kTextAdd, "Add"));
    ButtonSub->setAccessibleName(LanguageTextOr(kTextRemove, "Remove"));
    ButtonAdd->setToolTip(LanguageTextOr(kTextAddTip, "Assign the selected events to the output"));
    ButtonSub->setToolTip(
        LanguageTextOr(kTextRemoveTip, "Remove the selected events from the output"));
}

void TTPropSheet::ComboOutputChange() {
    RebuildListEventAss();
    ComboLogic->setCurrentIndex(Outputs.IsNormalOff(ChosenOutput()) ? 1 : 0);
}

namespace {

// Event numbers of the selected items, in list order.
std::vector<int> SelectedEvents(const QListWidget* list) {
    std::vector<int> events;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        if (item->isSelected()) {
            events.push_back(item->data(Qt::UserRole).toInt());
        }
    }
    return events;
}

void Unselect(QListWidget* list) {
    const QSignalBlocker blocker(list);
    list->clearSelection();
}

}  // namespace

void TTPropSheet::ButtonAddClick() {
    ChangeAssignment(ListEvent, &OutputEvents::Assign);
}

void TTPropSheet::ButtonSubClick() {
    ChangeAssignment(ListEventAss, &OutputEvents::Remove);
}

void TTPropSheet::ChangeAssignment(QListWidget* list, AssignmentChange change) {
    const std::vector<int> selected = SelectedEvents(list);
    if (selected.empty()) {
        ShowLanguageWarning(15, 46);
        return;
    }
    for (int event : selected) {
        (Outputs.*change)(ChosenOutput(), Names[event - 1], Names);
    }
    RebuildListEventAss();
    Unselect(list);
}

void TTPropSheet::ListEventClick() {
    Unselect(ListEventAss);
}

void TTPropSheet::ListEventAssClick() {
    Unselect(ListEvent);
}

void TTPropSheet::ComboLogicChange() {
    Outputs.SetNormalOff(ChosenOutput(), ComboLogic->currentIndex() != 0);
}
