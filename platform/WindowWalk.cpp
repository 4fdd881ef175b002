#include "platform/WindowWalk.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace tolvane::platform {

namespace {

// Any window may be destroyed by its program between two requests of the walk. Such a request
// fails with BadWindow, which must cost that window only, never the process.
class BadWindowTrap {
public:
    explicit BadWindowTrap(Display* display)
        : m_display(display)
    {
        XSync(m_display, False); // earlier requests report their errors to the usual handler
        s_previous = XSetErrorHandler(&handle);
    }
    ~BadWindowTrap()
    {
        XSync(m_display, False);
        XSetErrorHandler(s_previous);
        s_previous = nullptr;
    }
    BadWindowTrap(const BadWindowTrap&) = delete;
    BadWindowTrap& operator=(const BadWindowTrap&) = delete;

private:
    static int handle(Display* display, XErrorEvent* error)
    {
        if (error->error_code == BadWindow || !s_previous)
            return 0;
        return s_previous(display, error);
    }

    Display* m_display;
    static inline XErrorHandler s_previous = nullptr;
};

struct XFreeDeleter {
    void operator()(void* data) const
    {
        if (data)
            XFree(data);
    }
};

struct Property {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    std::unique_ptr<unsigned char, XFreeDeleter> data;
};

// Names are a few dozen bytes; anything past this is never looked at.
constexpr long maxPropertyLongs = 16384;

// nullopt when the window is gone; a property that is not set has type None.
std::optional<Property> readProperty(Display* display, Window window, Atom name)
{
    Property property;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, window, name, 0, maxPropertyLongs, False, AnyPropertyType,
                           &property.type, &property.format, &property.items, &bytesAfter, &data);
    property.data.reset(data);
    if (status != Success)
        return std::nullopt;
    return property;
}

// Format 32 properties arrive as longs, whatever the size of a long.
unsigned long firstCardinal(const Property& property)
{
    if (property.format != 32 || property.items == 0)
        return 0;
    return reinterpret_cast<const unsigned long*>(property.data.get())[0];
}

WId windowValue(const Property& property)
{
    return property.type == XA_WINDOW ? static_cast<WId>(firstCardinal(property)) : 0;
}

QByteArray propertyBytes(const Property& property)
{
    if (property.format != 8)
        return {};
    return QByteArray(reinterpret_cast<const char*>(property.data.get()),
                      static_cast<qsizetype>(property.items));
}

// WM_NAME in UTF-8: ISO Latin-1 for STRING, Xlib's converter for COMPOUND_TEXT and others.
QByteArray legacyNameAsUtf8(Display* display, const Property& property, Atom utf8String)
{
    const QByteArray bytes = propertyBytes(property);
    if (property.type == None || property.type == utf8String)
        return bytes;
    if (property.type == XA_STRING)
        return QString::fromLatin1(bytes).toUtf8();
    XTextProperty text{property.data.get(), property.type, property.format, property.items};
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &text, &list, &count) < Success || !list)
        return bytes;
    const QByteArray converted = count > 0 ? QByteArray(list[0]) : QByteArray();
    XFreeStringList(list);
    return converted;
}

struct Atoms {
    Atom netWmName;
    Atom utf8String;
    Atom wmState;
    Atom netWmPid;
    Atom wmClientLeader;
};

Atoms internAtoms(Display* display)
{
    char* names[] = {const_cast<char*>("_NET_WM_NAME"), const_cast<char*>("UTF8_STRING"),
                     const_cast<char*>("WM_STATE"), const_cast<char*>("_NET_WM_PID"),
                     const_cast<char*>("WM_CLIENT_LEADER")};
    Atom atoms[std::size(names)] = {};
    XInternAtoms(display, names, static_cast<int>(std::size(names)), False, atoms);
    return {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4]};
}

class Walk {
public:
    explicit Walk(Display* display)
        : m_display(display)
        , m_atoms(internAtoms(display))
    {
    }

    QList<TopLevelWindow> run()
    {
        const BadWindowTrap trap(m_display);
        QList<TopLevelWindow> windows;
        for (int screen = 0; screen < ScreenCount(m_display); ++screen) {
            const QList<Window> stack = children(RootWindow(m_display, screen));
            // The server lists children bottom first.
            for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
                if (std::optional<TopLevelWindow> window = describe(client(*it)))
                    windows << std::move(*window);
            }
        }
        return windows;
    }

private:
    QList<Window> children(Window parent) const
    {
        Window root = None;
        Window parentOfParent = None;
        Window* list = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, parent, &root, &parentOfParent, &list, &count))
            return {};
        const std::unique_ptr<Window, XFreeDeleter> owned(list);
        return QList<Window>(list, list + count);
    }

    bool hasWmState(Window window) const
    {
        const std::optional<Property> state = readProperty(m_display, window, m_atoms.wmState);
        return state && state->type != None;
    }

    // The window a window manager manages for a frame: the nearest descendant with WM_STATE,
    // searched level by level. A window without such a descendant stands for itself.
    Window client(Window topLevel) const
    {
        if (hasWmState(topLevel))
            return topLevel;
        QList<Window> level = children(topLevel);
        while (!level.isEmpty()) {
            const auto found = std::find_if(level.cbegin(), level.cend(),
                                            [this](Window w) { return hasWmState(w); });
            if (found != level.cend())
                return *found;
            QList<Window> next;
            for (Window window : std::as_const(level))
                next << children(window);
            level = std::move(next);
        }
        return topLevel;
    }

    std::optional<TopLevelWindow> describe(Window window) const
    {
        const std::optional<Property> netName = readProperty(m_display, window, m_atoms.netWmName);
        const std::optional<Property> name = readProperty(m_display, window, XA_WM_NAME);
        const std::optional<Property> owner = readProperty(m_display, window, XA_WM_TRANSIENT_FOR);
        const std::optional<Property> pid = readProperty(m_display, window, m_atoms.netWmPid);
        const std::optional<Property> leader =
            readProperty(m_display, window, m_atoms.wmClientLeader);
        if (!netName || !name || !owner || !pid || !leader)
            return std::nullopt;

        QByteArray text = netName->type == m_atoms.utf8String
                              ? propertyBytes(*netName)
                              : legacyNameAsUtf8(m_display, *name, m_atoms.utf8String);
        if (const qsizetype zero = text.indexOf('\0'); zero >= 0)
            text.truncate(zero);
        text.truncate(maxWindowTextBytes);

        return TopLevelWindow{static_cast<WId>(window), windowValue(*owner), windowValue(*leader),
                              static_cast<qint64>(firstCardinal(*pid)), std::move(text)};
    }

    Display* m_display;
    Atoms m_atoms;
};

} // namespace

Display* x11Display()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

QList<TopLevelWindow> topLevelWindows()
{
    Display* display = x11Display();
    if (!display)
        return {};
    return Walk(display).run();
}

} // namespace tolvane::platform
