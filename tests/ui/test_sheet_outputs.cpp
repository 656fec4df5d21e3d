// The outputs page: assigned events per output, adding and removing them, the exclusive
// selections of the two lists and each output's logic.
#include <QAbstractButton>
#include <QComboBox>
#include <QListWidget>
#include <algorithm>

#include "dialog_helpers.h"
#include "sheet_helpers.h"

namespace sheet_test {
namespace {

class OutputsPage : public SheetTest {
  protected:
    QListWidget* Events() const { return List("ListEvent"); }
    QListWidget* Assigned() const { return List("ListEventAss"); }
    // Row of event e in ListEvent while every event has its placeholder name.
    static int RowOfEvent(int e) { return e - 1; }
    // Confirms the sheet; the image then holds the pages.
    void Confirm() {
        Click(Button("OKBtn"));
        ASSERT_EQ(sheet->result(), 1);
    }
};

TEST_F(OutputsPage, AssignedEventsInterleaveTheTwoWords) {
    Image().SetValue(8, 0x0003);
    Image().SetValue(9, 0x0001);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    EXPECT_EQ(Items(Events()).size(), 32u);
    EXPECT_EQ(Items(Assigned()), (Texts{Placeholder(60), Placeholder(76), Placeholder(61)}));
    EXPECT_TRUE(Button("ButtonSub")->isEnabled());
    EXPECT_TRUE(Button("ButtonAdd")->isEnabled());
    EXPECT_EQ(Shown(Combo("ComboOutput")), "Output1");
    EXPECT_EQ(Items(Combo("ComboLogic")), (Texts{"Normal ON", "Normal OFF"}));
}

TEST_F(OutputsPage, NothingAssignedDisablesRemoving) {
    Image().SetValue(10, 0xFFFF);  // output 2 only
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    EXPECT_TRUE(Items(Assigned()).empty());
    EXPECT_FALSE(Button("ButtonSub")->isEnabled());
    PickEntry(Combo("ComboOutput"), 1);
    EXPECT_EQ(Items(Assigned()).size(), 16u);
    EXPECT_TRUE(Button("ButtonSub")->isEnabled());
}

TEST_F(OutputsPage, EventWithoutNameIsListedNowhereAndKeepsItsBit) {
    SetLanguageEntry(61, "");
    Image().SetValue(8, 0x0003);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    EXPECT_EQ(Items(Events()).size(), 31u);
    EXPECT_EQ(Items(Assigned()), (Texts{Placeholder(60)}));
    ClickItem(Assigned(), 0);
    Click(Button("ButtonSub"));
    EXPECT_TRUE(Items(Assigned()).empty());
    Confirm();
    EXPECT_EQ(Image().Value(8), 0x0002) << "the unnamed event's bit is stored as read";
}

TEST_F(OutputsPage, AddingAnEventOfTheSecondWordToOutput3) {
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    PickEntry(Combo("ComboOutput"), 2);
    ClickItem(Events(), RowOfEvent(17));
    Click(Button("ButtonAdd"));
    EXPECT_EQ(Items(Assigned()), (Texts{Placeholder(76)}));
    EXPECT_TRUE(SelectedItems(Events()).empty());
    EXPECT_TRUE(Button("ButtonSub")->isEnabled());
    Confirm();
    EXPECT_EQ(Image().Value(13), 0x0001);
    EXPECT_EQ(Image().Value(12), 0x0000);
}

TEST_F(OutputsPage, AddingSeveralKeepsEventOrderAndAnAssignedOneChangesNothing) {
    Image().SetValue(8, 0x0002);  // event 2
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    ClickItem(Events(), RowOfEvent(18));
    ClickItem(Events(), RowOfEvent(2), Qt::ControlModifier);
    ClickItem(Events(), RowOfEvent(1), Qt::ControlModifier);
    Click(Button("ButtonAdd"));
    EXPECT_EQ(Items(Assigned()), (Texts{Placeholder(60), Placeholder(61), Placeholder(77)}));
    Confirm();
    EXPECT_EQ(Image().Value(8), 0x0003);
    EXPECT_EQ(Image().Value(9), 0x0002);
}

TEST_F(OutputsPage, EventsSharingANameAreAddedAndRemovedTogether) {
    SetLanguageEntry(62, "Alarm");  // event 3
    SetLanguageEntry(80, "Alarm");  // event 21
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    const Texts events = Items(Events());
    EXPECT_EQ(std::count(events.begin(), events.end(), "Alarm"), 2);
    ClickItem(Events(), RowOfEvent(21));
    Click(Button("ButtonAdd"));
    EXPECT_EQ(Items(Assigned()), (Texts{"Alarm", "Alarm"}));
    ClickItem(Assigned(), 1);
    Click(Button("ButtonSub"));
    EXPECT_TRUE(Items(Assigned()).empty());
    EXPECT_FALSE(Button("ButtonSub")->isEnabled());
    ClickItem(Events(), RowOfEvent(3));
    Click(Button("ButtonAdd"));
    Confirm();
    EXPECT_EQ(Image().Value(8), 0x0004);
    EXPECT_EQ(Image().Value(9), 0x0010);
}

TEST_F(OutputsPage, RemovingTheLastEventEmptiesTheListAndDisablesRemoving) {
    Image().SetValue(9, 0x8000);  // event 32
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    ClickItem(Assigned(), 0);
    Click(Button("ButtonSub"));
    EXPECT_TRUE(Items(Assigned()).empty());
    EXPECT_FALSE(Button("ButtonSub")->isEnabled());
    Confirm();
    EXPECT_EQ(Image().Value(9), 0x0000);
}

TEST_F(OutputsPage, NothingSelectedWarnsAndChangesNothing) {
    SetLanguageEntry(15, "Select an event first");
    SetLanguageEntry(46, "Attention");
    Image().SetValue(8, 0x0001);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    MessageBoxAnswerer boxes;
    Click(Button("ButtonAdd"));
    Click(Button("ButtonSub"));
    ASSERT_EQ(boxes.Count(), 2);
    for (const ShownMessage& message : boxes.Shown()) {
        EXPECT_EQ(message.text.toStdString(), "Select an event first");
        EXPECT_EQ(message.caption.toStdString(), "Attention");
        EXPECT_EQ(message.icon, QMessageBox::Warning);
    }
    EXPECT_EQ(Items(Assigned()), (Texts{Placeholder(60)}));
    Confirm();
    EXPECT_EQ(Image().Value(8), 0x0001);
}

TEST_F(OutputsPage, SelectionLivesInOneListOnly) {
    Image().SetValue(8, 0x0003);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    ClickItem(Events(), 4);
    ClickItem(Events(), 5, Qt::ControlModifier);
    EXPECT_EQ(SelectedItems(Events()).size(), 2u);
    ClickItem(Assigned(), 1);
    EXPECT_TRUE(SelectedItems(Events()).empty());
    EXPECT_EQ(SelectedItems(Assigned()), (Texts{Placeholder(61)}));
    ClickItem(Events(), 7);
    EXPECT_TRUE(SelectedItems(Assigned()).empty());
    EXPECT_EQ(SelectedItems(Events()), (Texts{Placeholder(67)}));
}

TEST_F(OutputsPage, EventsSelectedBeforePickingAnOutputGoToThatOutput) {
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    ClickItem(Events(), RowOfEvent(5));
    PickEntry(Combo("ComboOutput"), 6);
    EXPECT_EQ(SelectedItems(Events()), (Texts{Placeholder(64)})) << "the selection stays";
    Click(Button("ButtonAdd"));
    Confirm();
    EXPECT_EQ(Image().Value(8 + 12), 0x0010);
    EXPECT_EQ(Image().Value(8), 0x0000);
}

TEST_F(OutputsPage, EachOutputKeepsItsLogic) {
    Image().SetLow(7, 0x01);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    EXPECT_EQ(Shown(Combo("ComboLogic")), "Normal OFF");
    PickEntry(Combo("ComboOutput"), 3);
    EXPECT_EQ(Shown(Combo("ComboLogic")), "Normal ON");
    PickEntry(Combo("ComboLogic"), 1);
    PickEntry(Combo("ComboOutput"), 1);
    EXPECT_EQ(Shown(Combo("ComboLogic")), "Normal ON");
    PickEntry(Combo("ComboOutput"), 3);
    EXPECT_EQ(Shown(Combo("ComboLogic")), "Normal OFF");
    PickEntry(Combo("ComboOutput"), 0);
    PickEntry(Combo("ComboLogic"), 0);
    Confirm();
    EXPECT_EQ(Image().Low(7), 0x08);
    EXPECT_EQ(Image().High(7), 0xA9);
}

TEST_F(OutputsPage, FirstOutputsLogicIsBitZeroOnly) {
    Image().SetLow(7, 0xFE);
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    EXPECT_EQ(Shown(Combo("ComboLogic")), "Normal ON");
}

TEST_F(OutputsPage, SwitchingOutputsKeepsEveryOutputsEvents) {
    ASSERT_TRUE(ShowOn(sheet->OutputDialog));
    ClickItem(Events(), RowOfEvent(1));
    Click(Button("ButtonAdd"));
    PickEntry(Combo("ComboOutput"), 7);
    ClickItem(Events(), RowOfEvent(32));
    Click(Button("ButtonAdd"));
    PickEntry(Combo("ComboOutput"), 0);
    EXPECT_EQ(Items(Assigned()), (Texts{Placeholder(60)}));
    Confirm();
    EXPECT_EQ(Image().Value(8), 0x0001);
    EXPECT_EQ(Image().Value(23), 0x8000);
}

}  // namespace
}  // namespace sheet_test
