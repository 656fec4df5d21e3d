#include "ui/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

class NamedComboBox final : public QAccessibleWidget {
  public:
    explicit NamedComboBox(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return Combo()->currentText();
        }
        const QString text = QAccessibleWidget::text(kind);
        // A list that no label names is known by what it shows.
        if (kind == QAccessible::Name && text.isEmpty()) {
            return Combo()->currentText();
        }
        return text;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = Combo()->view()->isVisible();
        state.editable = Combo()->isEditable();
        return state;
    }

    // The entries' list first, then the field of an editable list.
    int childCount() const override { return Combo()->isEditable() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override {
        if (index == 0) {
            // The open list is known by the name of its field: a screen reader that enters it
            // says which list it is in.
            QAbstractItemView* view = Combo()->view();
            if (const QString name = text(QAccessible::Name); view->accessibleName() != name) {
                view->setAccessibleName(name);
            }
            return QAccessible::queryAccessibleInterface(view);
        }
        if (index == 1 && Combo()->isEditable()) {
            return QAccessible::queryAccessibleInterface(Combo()->lineEdit());
        }
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int index = 0; index < childCount(); ++index) {
            if (this->child(index) == child) {
                return index;
            }
        }
        return -1;
    }

    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            Combo()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox")) {
        if (auto* combo = qobject_cast<QComboBox*>(object)) {
            return new NamedComboBox(combo);
        }
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleNames() {
    QAccessible::installFactory(MakeInterface);
}
