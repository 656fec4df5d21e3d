#include "ui/Appearance.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QTranslator>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>

namespace {

void CentreOn(QWidget& window, const QRect& area) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

const QString kFrameCentringName = QStringLiteral("FrameCentring");

bool FrameIsKnown(const QWidget& window) {
    return window.frameGeometry().size() != window.size();
}

// Before a window's first showing its frame is unknown, so the first centring can only use the
// window's inside. This centres it again, once, as soon as the window manager has framed it.
class FrameCentring : public QObject {
  public:
    FrameCentring(QWidget& window, std::function<QRect()> area)
        : QObject(&window), window_(window), area_(std::move(area)) {
        setObjectName(kFrameCentringName);
        window_.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_) {
            return false;
        }
        switch (event->type()) {
            case QEvent::Hide:
                Finish();
                break;
            // The frame is learned when the window has been mapped: by its first paint at the
            // latest.
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Paint:
            case QEvent::WindowActivate:
                if (FrameIsKnown(window_)) {
                    Finish();
                    CentreOn(window_, area_());
                }
                break;
            default:
                break;
        }
        return false;
    }

  private:
    void Finish() {
        window_.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window_;
    std::function<QRect()> area_;
};

void CentreWithFrame(QWidget& window, const std::function<QRect()>& area) {
    CentreOn(window, area());
    if (!FrameIsKnown(window) &&
        window.findChild<QObject*>(kFrameCentringName, Qt::FindDirectChildrenOnly) == nullptr) {
        new FrameCentring(window, area);
    }
}

}  // namespace

void ApplyApplicationAppearance(QApplication& application) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    application.setFont(font);
    InstallQtTranslations(application, QLocale::system());
}

QTranslator* InstallQtTranslations(QCoreApplication& application, const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    translator->setParent(&application);
    QCoreApplication::installTranslator(translator.get());
    return translator.release();
}

void SetDialogBorder(QWidget& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
}

void CentreOnScreen(QWidget& window) {
    if (window.screen() == nullptr) {
        return;
    }
    CentreWithFrame(window, [&window] {
        const QScreen* screen = window.screen();
        return screen != nullptr ? screen->availableGeometry() : window.frameGeometry();
    });
}

void CentreOnWindow(QWidget& window, const QWidget& other) {
    const QPointer<const QWidget> target(&other);
    CentreWithFrame(window, [&window, target] {
        return target ? target->frameGeometry() : window.frameGeometry();
    });
}
