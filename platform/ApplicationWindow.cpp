#include "platform/ApplicationWindow.h"

#include "platform/WindowWalk.h"

#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tolvane::platform {

namespace {

// Lives as long as the process: QApplication takes its native window down when it ends.
QWidget* s_window = nullptr;

// Qt appends the application's display name to window titles; the text of this window must be
// the title and nothing else, so it is written as is, the ICCCM way (Latin-1 where the text
// allows it) and as UTF-8.
void setExactX11Name(Display* display, Window window, const QString& title)
{
    QByteArray utf8 = title.toUtf8();
    char* list[] = {utf8.data()};
    XTextProperty name{};
    if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &name) >= Success) {
        XSetWMName(display, window, &name);
        XFree(name.value);
    }
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.constData()),
                    static_cast<int>(utf8.size()));
    XFlush(display);
}

} // namespace

void createApplicationWindow(const QString& title)
{
    if (!s_window) {
        s_window = new QWidget;
        s_window->setAttribute(Qt::WA_QuitOnClose, false);
    }
    s_window->setWindowTitle(title);
    const WId id = s_window->winId(); // the native window exists from now on, never mapped
    if (Display* display = x11Display())
        setExactX11Name(display, static_cast<Window>(id), title);
}

QWidget* applicationWindow()
{
    return s_window;
}

} // namespace tolvane::platform
