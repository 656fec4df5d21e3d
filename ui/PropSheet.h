#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "model/Inputs.h"
#include "model/OutputEvents.h"
#include "model/SheetState.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QShowEvent;
class QTabWidget;
class UpDown;

// The configuration sheet: four serial-port pages, the inputs and the outputs. Every show
// refills the pages from the RegisterImage; OK writes them back (result 1), Cancel writes
// nothing (result 2).
class TTPropSheet : public QDialog {
    Q_OBJECT
  public:
    explicit TTPropSheet(QWidget* parent = nullptr);

    // Tabs of the inputs and outputs pages, set by the configuration loop per card read.
    void SetInputOutputPagesVisible(bool visible);

    // Fills every page from the RegisterImage; runs on every show.
    void FormShow();
    // Hardware-offset warning when the COM2 page is on screen with "NEXPR" on a card whose
    // hardware value is not 0.
    void Com2DialogShow();

    // Port pages.
    void ComboProtChange();
    void ComboProt2Change();
    void UpDownAddressClick();
    // Leave handler of EditAddress: a number above 255 becomes 255 in place.
    void EditAddressExit();

    // Inputs page, row n = 1 to 8.
    void ComboInputNChange(int n);
    void EditSupNChange(int n);
    void EditInfNChange(int n);
    void EditDelayNChange(int n);
    void ShowData(int type, const ThresholdRowView& view, QLabel* lowerUnit, QLabel* upperUnit,
                  QLineEdit* lower, QLineEdit* upper);
    void ValidateInput(int type, QLineEdit* field, ThresholdSide side, QLineEdit* other);
    void ValidateInputEdit(QLineEdit* field);
    // Row n as confirmation stores it.
    InputRowState TransferDataToMemory(int n) const;

    // Outputs page.
    void ComboOutputChange();
    void ButtonAddClick();
    void ButtonSubClick();
    void ListEventClick();
    void ListEventAssClick();
    void ComboLogicChange();

    void OKBtnClick();
    void CancelBtnClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildPanels();
    void BuildCom0Page();
    void BuildCom1Page();
    void BuildCom2Page();
    void BuildCom3Page();
    void BuildInputPage();
    void BuildOutputPage();
    void ConnectHandlers();
    // Tab and Shift+Tab follow the pages' design order, then OK, then Cancel.
    void SetKeyboardOrder();
    // Ctrl+Tab and Ctrl+PageDown show the next visible page, Ctrl+Shift+Tab and Ctrl+PageUp the
    // previous one, wherever the focus is on the sheet.
    void SetPageKeys();
    void TurnPage(int direction);
    // Leave handlers run when a field loses the focus to another control of the sheet.
    void OnLeave(QLineEdit* field, std::function<void()> handler);

    void ShowCaptions();
    void ShowPortPages(const SheetState& state);
    void ShowInputPage(const SheetState& state);
    // Screen-reader names of the inputs page, from its row labels and column headings.
    void NameInputControls();
    void ShowOutputPage();
    // Screen-reader names and tooltips of the outputs page, for the chosen output.
    void NameOutputControls();
    // Parity, stop-bit and address controls of COM2 follow its protocol.
    void ApplyCom2Protocol(int protocolEntry);
    // Adds or removes the events selected in list for the chosen output; a warning when none
    // is selected.
    using AssignmentChange = void (OutputEvents::*)(int, const std::string&, const EventNames&);
    void ChangeAssignment(QListWidget* list, AssignmentChange change);
    // The assigned events of the chosen output; ButtonSub follows.
    void RebuildListEventAss();
    int ChosenOutput() const;
    SheetState ReadPages() const;

    // The sheet's own values, rebuilt by every show.
    OutputEvents Outputs;
    int RememberedAddress = 0;
    EventNames Names;

    std::map<QObject*, std::function<void()>> leaveHandlers_;
    // Per input row, the threshold texts shown for the card's registers when the sheet was
    // shown; empty once a type change showed the type's defaults instead.
    std::array<std::optional<std::string>, 8> shownLower_;
    std::array<std::optional<std::string>, 8> shownUpper_;

  public:
    // Panels and pages.
    QWidget* Tabbed;
    QTabWidget* PageControl;
    QWidget* Control;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QWidget* Com0Dialog;
    QWidget* Com1Dialog;
    QWidget* Com2Dialog;
    QWidget* Com3Dialog;
    QWidget* InputDialog;
    QWidget* OutputDialog;

    // COM0.
    QGroupBox* GroupCom0;
    QLabel* LabelProt;
    QLabel* LabelBaud;
    QComboBox* ComboProt;
    QComboBox* ComboBaud;

    // COM1, shown only.
    QGroupBox* GroupCom1;
    QLabel* LabelProt1;
    QLabel* LabelBaud1;
    QLabel* LabelParity1;
    QLabel* LabelStopBit1;
    QComboBox* ComboProt1;
    QComboBox* ComboBaud1;
    QComboBox* ComboParity1;
    QComboBox* ComboStop1;

    // COM2 with the bus address.
    QGroupBox* GroupCom2;
    QLabel* LabelProt2;
    QLabel* LabelBaud2;
    QLabel* LabelParity2;
    QLabel* LabelStopBit2;
    QComboBox* ComboProt2;
    QComboBox* ComboBaud2;
    QComboBox* ComboParity2;
    QComboBox* ComboStop2;
    QGroupBox* GroupAddress;
    QLabel* LabelAddress;
    QLineEdit* EditAddress;
    UpDown* UpDownAddress;
    QLabel* LabelHardware;
    QLineEdit* EditHardware;

    // COM3, shown only, always on its first entries.
    QGroupBox* GroupCom3;
    QLabel* LabelProt3;
    QLabel* LabelBaud3;
    QLabel* LabelParity3;
    QLabel* LabelStopBit3;
    QComboBox* ComboProt3;
    QComboBox* ComboBaud3;
    QComboBox* ComboParity3;
    QComboBox* ComboStop3;

    // Inputs: index n-1 holds the control of input n.
    QLabel* LabelType;
    QLabel* LabelSup;
    QLabel* LabelInf;
    QLabel* LabelDelay;
    std::array<QLabel*, 8> LabelInputN;     // LabelInput1 to LabelInput8
    std::array<QComboBox*, 8> ComboInputN;  // ComboInput1 to ComboInput8
    std::array<QLineEdit*, 8> EditSupN;     // EditSup1 to EditSup8
    std::array<QLabel*, 8> LabelSupN;       // LabelSup1 to LabelSup8
    std::array<QLineEdit*, 8> EditInfN;     // EditInf1 to EditInf8
    std::array<QLabel*, 8> LabelInfN;       // LabelInf1 to LabelInf8
    std::array<QLineEdit*, 8> EditDelayN;   // EditDelay1 to EditDelay8
    std::array<UpDown*, 8> UpDownDelayN;    // UpDownDelay1 to UpDownDelay8

    // Outputs.
    QLabel* LabelOutput;
    QLabel* LabelEvent;
    QLabel* LabelEventAss;
    QLabel* LabelLogic;
    QComboBox* ComboOutput;
    QComboBox* ComboLogic;
    QListWidget* ListEvent;
    QListWidget* ListEventAss;
    QPushButton* ButtonAdd;
    QPushButton* ButtonSub;
};
