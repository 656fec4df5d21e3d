// The four serial-port pages of the configuration sheet.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <cstdint>

#include "app/AppState.h"
#include "model/Fields.h"
#include "ui/Messages.h"
#include "ui/PropSheet.h"
#include "ui/PropSheetParts.h"
#include "ui/Texts.h"
#include "ui/UpDown.h"

using namespace sheet_parts;

namespace {

// Port pages: the group box, then one row per setting.
constexpr QRect kPortGroup(30, 22, 320, 195);
constexpr int kPortLabelX = 68;
constexpr int kPortLabelWidth = 74;
constexpr int kPortListX = 155;
constexpr int kPortListWidth = 116;
constexpr int kProtocolRowY = 35;
constexpr int kBaudRowY = 70;
constexpr int kCom0BaudRowY = 104;
constexpr int kParityRowY = 105;
constexpr int kStopRowY = 140;

const char kNexpr[] = "NEXPR";

QStringList BaudItems(int count) {
    QStringList items;
    for (int code = 1; code <= count; ++code) {
        items << QString::fromStdString(BaudText(code));
    }
    return items;
}

QStringList PortProtocolItems() {
    return {QString::fromLatin1(kNexpr), QStringLiteral("MODBUS RTU")};
}

QStringList StopItems() {
    return {QStringLiteral("1"), QStringLiteral("2")};
}

QStringList ParityItems() {
    return LanguageItems(42, kParityEntries);
}

void ShowLine(const LineEntries& entries, int baudEntries, QComboBox* protocol, QComboBox* baud,
              QComboBox* parity, QComboBox* stop) {
    FillList(protocol, PortProtocolItems(), entries.protocol);
    FillList(baud, BaudItems(baudEntries), entries.baud);
    FillList(parity, ParityItems(), entries.parity);
    FillList(stop, StopItems(), entries.stop);
}

}  // namespace

void TTPropSheet::BuildCom0Page() {
    GroupCom0 = Make<QGroupBox>(Com0Dialog, QStringLiteral("GroupCom0"), kPortGroup);
    LabelProt = MakeRowLabel(GroupCom0, QStringLiteral("LabelProt"), kPortLabelX, kProtocolRowY,
                             kPortLabelWidth);
    ComboProt =
        MakeList(GroupCom0, QStringLiteral("ComboProt"), kPortListX, kProtocolRowY, kPortListWidth);
    LabelBaud = MakeRowLabel(GroupCom0, QStringLiteral("LabelBaud"), kPortLabelX, kCom0BaudRowY,
                             kPortLabelWidth);
    ComboBaud =
        MakeList(GroupCom0, QStringLiteral("ComboBaud"), kPortListX, kCom0BaudRowY, kPortListWidth);
    LabelProt->setBuddy(ComboProt);
    LabelBaud->setBuddy(ComboBaud);
}

namespace {

// The four rows of a port page with parity and stop bits (COM1 to COM3).
struct LineRows {
    QLabel*& labelProt;
    QLabel*& labelBaud;
    QLabel*& labelParity;
    QLabel*& labelStopBit;
    QComboBox*& comboProt;
    QComboBox*& comboBaud;
    QComboBox*& comboParity;
    QComboBox*& comboStop;
};

void BuildLineRows(QGroupBox* group, int port, const LineRows& rows) {
    const auto label = [&](const char* name, int y) {
        return MakeRowLabel(group, Numbered(name, port), kPortLabelX, y, kPortLabelWidth);
    };
    const auto list = [&](const char* name, int y) {
        return MakeList(group, Numbered(name, port), kPortListX, y, kPortListWidth);
    };
    rows.labelProt = label("LabelProt", kProtocolRowY);
    rows.comboProt = list("ComboProt", kProtocolRowY);
    rows.labelBaud = label("LabelBaud", kBaudRowY);
    rows.comboBaud = list("ComboBaud", kBaudRowY);
    rows.labelParity = label("LabelParity", kParityRowY);
    rows.comboParity = list("ComboParity", kParityRowY);
    rows.labelStopBit = label("LabelStopBit", kStopRowY);
    rows.comboStop = list("ComboStop", kStopRowY);
    rows.labelProt->setBuddy(rows.comboProt);
    rows.labelBaud->setBuddy(rows.comboBaud);
    rows.labelParity->setBuddy(rows.comboParity);
    rows.labelStopBit->setBuddy(rows.comboStop);
}

}  // namespace

void TTPropSheet::BuildCom1Page() {
    GroupCom1 = Make<QGroupBox>(Com1Dialog, QStringLiteral("GroupCom1"), kPortGroup);
    BuildLineRows(GroupCom1, 1,
                  {LabelProt1, LabelBaud1, LabelParity1, LabelStopBit1, ComboProt1, ComboBaud1,
                   ComboParity1, ComboStop1});
    for (QWidget* control :
         {static_cast<QWidget*>(LabelProt1), static_cast<QWidget*>(LabelBaud1),
          static_cast<QWidget*>(LabelParity1), static_cast<QWidget*>(LabelStopBit1),
          static_cast<QWidget*>(ComboProt1), static_cast<QWidget*>(ComboBaud1),
          static_cast<QWidget*>(ComboParity1), static_cast<QWidget*>(ComboStop1)}) {
        control->setEnabled(false);
    }
}

void TTPropSheet::BuildCom2Page() {
    GroupCom2 = Make<QGroupBox>(Com2Dialog, QStringLiteral("GroupCom2"), kPortGroup);
    BuildLineRows(GroupCom2, 2,
                  {LabelProt2, LabelBaud2, LabelParity2, LabelStopBit2, ComboProt2, ComboBaud2,
                   ComboParity2, ComboStop2});

    GroupAddress =
        Make<QGroupBox>(Com2Dialog, QStringLiteral("GroupAddress"), QRect(30, 224, 321, 97));
    LabelAddress =
        Make<QLabel>(GroupAddress, QStringLiteral("LabelAddress"), QRect(68, 30, 85, 13));
    EditAddress =
        Make<QLineEdit>(GroupAddress, QStringLiteral("EditAddress"), QRect(155, 26, 50, 21));
    UpDownAddress =
        Make<UpDown>(GroupAddress, QStringLiteral("UpDownAddress"), QRect(205, 26, 15, 21));
    UpDownAddress->SetRange(0, kAddressMaximum);
    UpDownAddress->SetIncrement(kAddressIncrement);
    UpDownAddress->SetAssociate(EditAddress);
    LabelHardware =
        Make<QLabel>(GroupAddress, QStringLiteral("LabelHardware"), QRect(68, 66, 85, 13));
    EditHardware =
        Make<QLineEdit>(GroupAddress, QStringLiteral("EditHardware"), QRect(155, 62, 70, 21));
    LabelAddress->setBuddy(EditAddress);
    LabelHardware->setBuddy(EditHardware);
    LabelHardware->setEnabled(false);
    EditHardware->setEnabled(false);
}

void TTPropSheet::BuildCom3Page() {
    GroupCom3 = Make<QGroupBox>(Com3Dialog, QStringLiteral("GroupCom3"), kPortGroup);
    BuildLineRows(GroupCom3, 3,
                  {LabelProt3, LabelBaud3, LabelParity3, LabelStopBit3, ComboProt3, ComboBaud3,
                   ComboParity3, ComboStop3});
    GroupCom3->setEnabled(false);
}

void TTPropSheet::ShowPortPages(const SheetState& state) {
    constexpr int kTextAddress = 32;
    NameArrows(UpDownAddress, LanguageText(kTextAddress));
    FillList(ComboProt, {QString::fromLatin1(kNexpr), QStringLiteral("KARVO")}, state.com0Protocol);
    FillList(ComboBaud, BaudItems(kCom0BaudEntries), state.com0Baud);

    ShowLine(state.com1, kCom1BaudEntries, ComboProt1, ComboBaud1, ComboParity1, ComboStop1);

    ShowLine(state.com2, kCom2BaudEntries, ComboProt2, ComboBaud2, ComboParity2, ComboStop2);
    RememberedAddress = state.rememberedAddress;
    EditHardware->setText(QString::number(HardwareBits));
    ApplyCom2Protocol(state.com2.protocol);

    ShowLine(state.com3, kCom1BaudEntries, ComboProt3, ComboBaud3, ComboParity3, ComboStop3);
}

void TTPropSheet::ApplyCom2Protocol(int protocolEntry) {
    const bool enabled = Com2LineControlsEnabled(protocolEntry);
    for (QWidget* control :
         {static_cast<QWidget*>(LabelParity2), static_cast<QWidget*>(LabelStopBit2),
          static_cast<QWidget*>(ComboParity2), static_cast<QWidget*>(ComboStop2),
          static_cast<QWidget*>(LabelAddress), static_cast<QWidget*>(EditAddress),
          static_cast<QWidget*>(UpDownAddress)}) {
        control->setEnabled(enabled);
    }
    // While the address controls are disabled they show 0; the remembered address stays.
    UpDownAddress->SetPosition(enabled ? RememberedAddress : 0);
}

void TTPropSheet::Com2DialogShow() {
    if (isVisible() && PageControl->currentWidget() == Com2Dialog &&
        HardwareOffsetWarningDue(ComboProt2->currentIndex(), HardwareBits)) {
        ShowLanguageWarning(45, 46);
    }
}

void TTPropSheet::ComboProtChange() {
    ComboBaud->setCurrentIndex(Com0BaudPreset(ComboProt->currentIndex()));
}

void TTPropSheet::ComboProt2Change() {
    const int entry = ComboProt2->currentIndex();
    const LineEntries preset = Com2LinePreset(entry);
    ComboBaud2->setCurrentIndex(preset.baud);
    ComboParity2->setCurrentIndex(preset.parity);
    ComboStop2->setCurrentIndex(preset.stop);
    ApplyCom2Protocol(entry);
    if (HardwareOffsetWarningDue(entry, HardwareBits)) {
        ShowLanguageWarning(45, 46);
    }
}

void TTPropSheet::UpDownAddressClick() {
    RememberedAddress = static_cast<int16_t>(UpDownAddress->Position());
    EditAddress->setText(QString::number(RememberedAddress));
}

void TTPropSheet::EditAddressExit() {
    ReplaceText(EditAddress, CorrectAddressText(Text(EditAddress)));
}
