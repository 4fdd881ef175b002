#include "platform/DialogFrame.h"

#include "platform/WindowWalk.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <array>

namespace tolvane::platform {

namespace {

// The window manager hints of Motif, which every window manager of the desktops reads.
constexpr long mwmHintsFunctions = 1L << 0;
constexpr long mwmHintsDecorations = 1L << 1;
constexpr long mwmFunctionMove = 1L << 2;
constexpr long mwmDecorBorder = 1L << 1;

void hintBorderAlone(Display* display, Window window)
{
    // flags, functions, decorations, input mode, status
    const std::array<long, 5> hints{mwmHintsFunctions | mwmHintsDecorations, mwmFunctionMove,
                                    mwmDecorBorder, 0, 0};
    const Atom property = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, window, property, property, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(hints.data()), int(hints.size()));
    XFlush(display);
}

// Brings a minimized dialog back, and with it the owner that the window manager may have
// minimized along with it.
class StaysUp : public QObject {
public:
    explicit StaysUp(QWidget* dialog)
        : QObject(dialog)
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowStateChange && dialog->isMinimized()) {
            // After the state change has been dealt with, not inside it.
            QTimer::singleShot(0, dialog, [dialog] {
                if (QWidget* owner = dialog->parentWidget(); owner && owner->isMinimized())
                    owner->showNormal();
                dialog->showNormal();
                dialog->activateWindow();
            });
        }
        return false;
    }
};

} // namespace

void frameWithoutButtons(QWidget& dialog)
{
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint);
    new StaysUp(&dialog);
    if (Display* display = x11Display())
        hintBorderAlone(display, static_cast<Window>(dialog.winId()));
}

} // namespace tolvane::platform
