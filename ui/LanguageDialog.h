#pragma once

#include <QDialog>
#include <memory>
#include <vector>

class QComboBox;
class QGroupBox;
class QPushButton;
class RegisterImage;

// The first window: the languages whose files lie beside the program. OK loads the chosen one,
// allocates the register image and opens the port selection, inside which the rest of the run
// takes place. Closing it ends the program.
class TTLanguageDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TTLanguageDialog(QWidget* parent = nullptr);

    // How the register image storage is allocated; null stands for "no memory left".
    using RegisterImageAllocator = std::unique_ptr<RegisterImage> (*)();
    void SetRegisterImageAllocator(RegisterImageAllocator allocate) { allocate_ = allocate; }

    // Number NN of the file lang_NN.ini of every list entry, in list order.
    const std::vector<int>& LanguageFiles() const { return languageFiles_; }

    QGroupBox* GroupBox1;
    QComboBox* ComboLanguage;
    QPushButton* ButtonOk;

  public slots:
    // The close box and Escape: the program ends.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FillLanguageList();
    void ButtonOkClick();
    void FormClose();
    // Shows the fixed error box, releases the language texts and ends the program with code.
    static void EndWithError(const char* text, int code);

    std::vector<int> languageFiles_;
    RegisterImageAllocator allocate_;
};
