#include "ui/Appearance.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMargins>
#include <QPointer>
#include <QScreen>
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
// Only a shown window lends its frame: the toolkit may read a hidden one's afresh and get
// nonsense.
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

// Centres the window on `area` with the frame it has or is expected to get; returns that frame.
QMargins CentreOn(QWidget& window, const QRect& area) {
    const bool known = FrameIsKnown(window);
    const QMargins margins = ExpectedFrame(window);
    QRect frame = window.geometry().marginsAdded(margins);
    frame.moveCenter(area.center());
    // Until the window is framed, its position is that of its inside.
    window.move(known ? frame.topLeft() : frame.topLeft() + QPoint(margins.left(), margins.top()));
    return margins;
}

const QString kFrameCentringName = QStringLiteral("FrameCentring");

// A window is centred before the window manager frames it, with the frame it is expected to
// get, which can be wrong: the first window has no other to borrow from. The toolkit learns the
// frame when the window system reports the window's place, and keeps what it learnt until the
// next report. A window is painted first once the window manager has framed and mapped it; if
// the frame is still unknown then (the last report came before the framing, as when the window
// manager left the window where it asked to be), the window asks for one report by moving a
// pixel and back: the window manager answers after the framing, so the frame is known at the
// moves that follow. At the first event whose frame differs from the one the window was
// centred with, it is centred once more. Nothing runs between the window's events: no timer
// looks at it. A later report can still change the frame (a frame read while the window was
// being framed can be split wrongly between its sides), so the watch lasts while the window is
// shown; a move by the user leaves the frame alone and is left alone.
class FrameCentring : public QObject {
  public:
    FrameCentring(QWidget& window, std::function<QRect()> area, const QMargins& centredWith)
        : QObject(&window),
          window_(window),
          area_(std::move(area)),
          centredWith_(centredWith),
          centredSize_(window.size()) {
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
            case QEvent::Paint:
                Look();
                if (!FrameIsKnown(window_) && !askedForPlace_) {
                    askedForPlace_ = true;
                    // After the paint: the window is not moved while it is being painted.
                    QMetaObject::invokeMethod(this, &FrameCentring::AskForPlace,
                                              Qt::QueuedConnection);
                }
                break;
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowActivate:
                Look();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    // Centres again when the frame differs from the one the window was centred with, or the
    // window's size from the one it had then: a busy program can show a dialog before its layout
    // has given it its size, and a window centred at no size has its corner in the middle.
    void Look() {
        if ((FrameIsKnown(window_) && FrameMargins(window_) != centredWith_) ||
            window_.size() != centredSize_) {
            centredWith_ = CentreOn(window_, area_());
            centredSize_ = window_.size();
        }
    }

    void AskForPlace() {
        if (window_.isVisible() && !FrameIsKnown(window_)) {
            // A request for the same place is dropped on the way: there and back.
            window_.move(window_.pos() + QPoint(1, 0));
            window_.move(window_.pos() - QPoint(1, 0));
        }
    }

    void Finish() {
        setObjectName({});  // a showing before the deletion gets a watch of its own
        window_.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window_;
    std::function<QRect()> area_;
    QMargins centredWith_;
    QSize centredSize_;
    bool askedForPlace_ = false;
};

void CentreWithFrame(QWidget& window, const std::function<QRect()>& area) {
    const QMargins centredWith = CentreOn(window, area());
    if (window.findChild<QObject*>(kFrameCentringName, Qt::FindDirectChildrenOnly) == nullptr) {
        new FrameCentring(window, area, centredWith);
    }
}

}  // namespace

void ApplyApplicationAppearance(QApplication& application) {
    LoadProgramFonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    application.setFont(font);
    InstallQtTranslations(application, QLocale::system());
}

QStringList LoadProgramFonts(const QString& folder) {
    QStringList families;
    const QDir fonts(folder);
    for (const QString& name :
         fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name)) {
        const int id = QFontDatabase::addApplicationFont(fonts.filePath(name));
        for (const QString& family : QFontDatabase::applicationFontFamilies(id)) {
            if (!families.contains(family)) {
                families.append(family);
            }
        }
    }
    return families;
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

void ShowKeyboardFocus(QWidget& window) {
    window.setAttribute(Qt::WA_KeyboardFocusChange);
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
