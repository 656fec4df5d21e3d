#include "ui/Appearance.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>

namespace {

bool FrameIsKnown(const QWidget& window) {
    return window.frameGeometry().size() != window.size();
}

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inside = window.geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(),
            frame.right() - inside.right(), frame.bottom() - inside.bottom()};
}

// The frame a window will get: its own once the window manager has framed it, else that of
// another framed window of the program (the window manager frames dialogs alike), else none.
QMargins ExpectedFrame(const QWidget& window) {
    if (FrameIsKnown(window)) {
        return FrameMargins(window);
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget* other : windows) {
        if (other != &window && other->isVisible() && FrameIsKnown(*other)) {
            return FrameMargins(*other);
        }
    }
    return {};
}

void CentreOn(QWidget& window, const QRect& area) {
    const bool known = FrameIsKnown(window);
    const QMargins margins = ExpectedFrame(window);
    QRect frame = window.geometry().marginsAdded(margins);
    frame.moveCenter(area.center());
    // Until the window is framed, its position is that of its inside.
    window.move(known ? frame.topLeft() : frame.topLeft() + QPoint(margins.left(), margins.top()));
}

const QString kFrameCentringName = QStringLiteral("FrameCentring");

// Before a window's first showing its frame is unknown, so the first centring can only use the
// window's inside. This centres it again, once, as soon as the window manager has framed it.
// The toolkit reports no event when the frame becomes known (the window need not move), so
// besides the window's own events a short timer looks, for at most a second; a window system
// without frames ends the watch then.
class FrameCentring : public QObject {
  public:
    FrameCentring(QWidget& window, std::function<QRect()> area)
        : QObject(&window), window_(window), area_(std::move(area)) {
        setObjectName(kFrameCentringName);
        window_.installEventFilter(this);
        watch_.setInterval(kLookMs);
        connect(&watch_, &QTimer::timeout, this, [this] {
            if (++looks_ >= kMaxLooks) {
                Finish();
            } else {
                CentreWhenFramed();
            }
        });
        watch_.start();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_) {
            return false;
        }
        switch (event->type()) {
            case QEvent::Hide:
                Finish();
                break;
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Paint:
            case QEvent::WindowActivate:
                CentreWhenFramed();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    static constexpr int kLookMs = 20;
    static constexpr int kMaxLooks = 50;

    void CentreWhenFramed() {
        if (FrameIsKnown(window_)) {
            Finish();
            CentreOn(window_, area_());
        }
    }

    void Finish() {
        watch_.stop();
        window_.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window_;
    std::function<QRect()> area_;
    QTimer watch_;
    int looks_ = 0;
};

void CentreWithFrame(QWidget& window, const std::function<QRect()>& area) {
    CentreOn(window, area());
    // Only a window whose frame could not even be expected (the first one) is watched: the frame
    // the toolkit reports while the window manager is still framing a window can be wrong.
    if (ExpectedFrame(window).isNull() &&
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
    // Qt's deployment tool puts them in translations\ beside a Windows program; elsewhere they
    // lie where Qt says.
    const QString folders[] = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        if (QTranslator* translator = InstallQtTranslations(application, locale, folder)) {
            return translator;
        }
    }
    return nullptr;
}

QTranslator* InstallQtTranslations(QCoreApplication& application, const QLocale& locale,
                                   const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    // "qt" first: Qt's deployment tool merges the modules' catalogues into qt_<lang>.qm and
    // copies no qtbase_<lang>.qm; Debian's qt_<lang>.qm names the modules' files beside it.
    bool loaded = false;
    for (const QString& catalogue : {QStringLiteral("qt"), QStringLiteral("qtbase")}) {
        if (translator->load(locale, catalogue, QStringLiteral("_"), folder)) {
            loaded = true;
            break;
        }
    }
    if (!loaded) {
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
