#include "ui/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(7, 7));
    return button;
}

}  // namespace

UpDown::UpDown(QWidget* parent)
    : QWidget(parent),
      up_(MakeArrow(this, Qt::UpArrow, "Up")),
      down_(MakeArrow(this, Qt::DownArrow, "Down")) {
    connect(up_, &QToolButton::clicked, this, [this] { Step(Button::Up); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(Button::Down); });
}

void UpDown::SetAssociate(QLineEdit* field) {
    if (field_ != nullptr) {
        field_->removeEventFilter(this);
    }
    field_ = field;
    if (field_ != nullptr) {
        field_->installEventFilter(this);
        field_->setText(QString::number(position_));
    }
}

void UpDown::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

void UpDown::SetIncrement(int increment) {
    increment_ = increment;
}

void UpDown::SetArrowNames(const QString& up, const QString& down) {
    up_->setAccessibleName(up);
    down_->setAccessibleName(down);
}

void UpDown::SetPosition(int position) {
    position_ = position;
    if (field_ != nullptr) {
        field_->setText(QString::number(position_));
    }
}

void UpDown::Step(Button button) {
    const int step = button == Button::Up ? increment_ : -increment_;
    SetPosition(std::clamp(position_ + step, minimum_, maximum_));
    emit Clicked(button);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? Button::Up : Button::Down);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent* event) {
    const int upper = height() / 2;
    up_->setGeometry(0, 0, width(), upper);
    down_->setGeometry(0, upper, width(), height() - upper);
    QWidget::resizeEvent(event);
}
