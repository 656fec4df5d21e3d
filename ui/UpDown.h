#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up-down spinner attached to an edit field: two arrow buttons that step a position within a
// range and write it into the field as a plain decimal number. Only the arrows (and the Up and
// Down keys in the field) emit Clicked; a position set from code is written into the field as
// it is, without clamping and without a signal.
class UpDown : public QWidget {
    Q_OBJECT
  public:
    enum class Button { Up, Down };
    Q_ENUM(Button)

    explicit UpDown(QWidget* parent = nullptr);

    void SetAssociate(QLineEdit* field);
    void SetRange(int minimum, int maximum);
    void SetIncrement(int increment);
    // What a screen reader calls the two arrows.
    void SetArrowNames(const QString& up, const QString& down);

    int Position() const { return position_; }
    void SetPosition(int position);

    // What an arrow press does: one increment towards the arrow, kept within the range.
    void Step(Button button);

  signals:
    void Clicked(UpDown::Button button);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* field_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int increment_ = 1;
    int position_ = 0;
};
