#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

#include "link/SerialPlatform.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class QStyledItemDelegate;
class TraceSink;

// Port selection: the user picks the PC's serial port; OK reads the card into the register
// image and runs the configuration loop. Its constructor creates the process-wide
// SerialPortParameter. Closing it, however it happens, ends the program.
class TTSetPortParam : public QDialog {
    Q_OBJECT
  public:
    // `trace`: where the card's frames are traced for support; none: not traced.
    // `overrides`: the devices set by hand for COM1 to COM7, read once at start-up.
    explicit TTSetPortParam(QWidget* parent = nullptr, std::shared_ptr<TraceSink> trace = nullptr,
                            PortOverrides overrides = {});
    // Hands over the devices set by hand, for the port list and the card read.
    void UsePortOverrides(PortOverrides overrides);

    // Position of the list entry whose text is the field's text; -1 when none is.
    int SelectedPortIndex() const;
    // The drop-down's entries as shown: each port name with the device it opens.
    QStringList PortEntryTexts() const;
    // True while the card is read: the dialog then refuses to close.
    bool IsReading() const { return reading_; }

    QGroupBox* GroupPort;
    QComboBox* ComboPort;
    QPushButton* ButtonOk;
    QPushButton* ButtonCancel;

  public slots:
    // Escape and Cancel: refused while the card is read, else the program ends.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormShow();
    void FormClose();
    void ComboPortChange(const QString& text);
    void ButtonOkClick();
    void ButtonCancelClick();
    // Says once that the trace cannot be written, when it cannot.
    void WarnOfTrace();

    // Opens the port, identifies the card, reads its hardware bits and the registers of its
    // firmware family into the register image, and closes the port. On failure the port is
    // already closed and the message has been shown. The progress dialog is shown meanwhile.
    bool ReadCard();
    // Closes the progress dialog and shows the failure message; always false.
    void SetControlsEnabled(bool enabled);
    void RunConfigurationLoop();
    // Finds again what each port name leads to, for the drop-down.
    void RefreshPortEntries();

    QStyledItemDelegate* portEntries_ = nullptr;

    bool reading_ = false;
    std::shared_ptr<TraceSink> trace_;
    PortOverrides overrides_;
};
