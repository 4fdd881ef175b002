#include "platform/WindowFrame.h"

#include "platform/WindowWalk.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <optional>

namespace tolvane::platform {

namespace {

// The ancestor of the window that is a child of the root; nullopt when the window is gone.
std::optional<Window> outerWindow(Display* display, Window window)
{
    for (;;) {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count))
            return std::nullopt;
        if (children)
            XFree(children);
        if (parent == root || parent == None)
            return window;
        window = parent;
    }
}

// The frame around the window as its window manager publishes it (_NET_FRAME_EXTENTS). A frame
// may reach further with borders that are invisible, only there to be grabbed for resizing; the
// window manager places the published frame, not those, where a window asks to be.
std::optional<QMargins> publishedFrame(Display* display, Window client)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, client, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4,
                           False, XA_CARDINAL, &type, &format, &count, &bytesAfter, &data);
    std::optional<QMargins> frame;
    // Format 32 properties arrive as longs: left, right, top, bottom.
    if (status == Success && type == XA_CARDINAL && format == 32 && count == 4) {
        const auto* extents = reinterpret_cast<const long*>(data);
        frame = QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]));
    }
    if (data)
        XFree(data);
    return frame;
}

// The window's own area and its outer window's, borders included, relative to the root.
struct Frame {
    QRect outer;
    QRect client;
};

std::optional<Frame> x11Frame(Display* display, Window client)
{
    Window root = None;
    Window child = None;
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    if (!XGetGeometry(display, client, &root, &x, &y, &width, &height, &border, &depth) ||
        !XTranslateCoordinates(display, client, root, 0, 0, &x, &y, &child))
        return std::nullopt;
    Frame frame;
    frame.client = QRect(x, y, int(width), int(height));
    if (const std::optional<QMargins> published = publishedFrame(display, client)) {
        frame.outer = frame.client.marginsAdded(*published);
        return frame;
    }
    // A window manager that publishes nothing places the window's ancestor next to the root.
    const std::optional<Window> outer = outerWindow(display, client);
    if (!outer || !XGetGeometry(display, *outer, &root, &x, &y, &width, &height, &border, &depth))
        return std::nullopt;
    frame.outer = QRect(x, y, int(width + 2 * border), int(height + 2 * border));
    return frame;
}

QRect inScreenPixels(const QRect& rect, qreal ratio)
{
    return QRectF(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio).toRect();
}

Frame frameOf(const QWidget& window)
{
    Display* display = x11Display();
    if (display && window.internalWinId()) {
        if (const std::optional<Frame> frame =
                x11Frame(display, static_cast<Window>(window.internalWinId())))
            return *frame;
    }
    const qreal ratio = window.devicePixelRatioF();
    return {inScreenPixels(window.frameGeometry(), ratio),
            inScreenPixels(window.geometry(), ratio)};
}

// Asks for the frame's corner at the position, in screen pixels, when the window is shown.
// Earlier, the widget's layout resizing the window would turn the request back into one for the
// client area.
class FramePlacement : public QObject {
public:
    static QString name() { return QStringLiteral("tolvaneFramePlacement"); }

    FramePlacement(QWindow* window, QPoint position)
        : QObject(window)
        , m_position(position)
    {
        setObjectName(name());
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWindow*>(watched);
            window->setFramePosition((QPointF(m_position) / window->devicePixelRatio()).toPoint());
            // On a scaled screen the toolkit rounds to its own pixels; the window manager,
            // reading the position when the window maps, takes the exact one from here.
            if (Display* display = x11Display()) {
                XMoveWindow(display, static_cast<Window>(window->winId()), m_position.x(),
                            m_position.y());
                XFlush(display);
            }
            deleteLater();
        }
        return false;
    }

private:
    QPoint m_position;
};

// The size of a window's outer window, in screen pixels, before it is shown. A frame is not known
// before the window manager has made it; it is taken to be as large as the frame that the same
// window manager gave the window's owner.
QSize outerSize(const QWidget& window)
{
    QMargins frame;
    const QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    if (owner && owner->isVisible()) {
        const Frame ownerFrame = frameOf(*owner);
        frame = QMargins(ownerFrame.client.left() - ownerFrame.outer.left(),
                         ownerFrame.client.top() - ownerFrame.outer.top(),
                         ownerFrame.outer.right() - ownerFrame.client.right(),
                         ownerFrame.outer.bottom() - ownerFrame.client.bottom());
        // A window made without a title bar has the side border all round.
        const Qt::WindowFlags flags = window.windowFlags();
        if ((flags & Qt::CustomizeWindowHint) && !(flags & Qt::WindowTitleHint))
            frame = QMargins(frame.left(), frame.left(), frame.left(), frame.left());
    }
    return (QSizeF(window.size()) * window.devicePixelRatioF()).toSize().grownBy(frame);
}

// Where a span of the length starting at the position begins once moved as little as it takes to
// lie between first and last; a span longer than that begins at first.
int onScreen(int position, int length, int first, int last)
{
    return std::max(std::min(position, last + 1 - length), first);
}

} // namespace

QPoint outerWindowPosition(const QWidget& window)
{
    return frameOf(window).outer.topLeft();
}

void placeOuterWindow(QWidget& window, QPoint position)
{
    // Where no window manager frames the window, the client area is the outer window.
    window.move((QPointF(position) / window.devicePixelRatioF()).toPoint());
    window.winId();
    QWindow* handle = window.windowHandle();
    delete handle->findChild<QObject*>(FramePlacement::name(), Qt::FindDirectChildrenOnly);
    new FramePlacement(handle, position);
}

void centreOuterWindow(QWidget& window)
{
    const QRect screenPixels =
        inScreenPixels(window.screen()->geometry(), window.devicePixelRatioF());
    const QSize outer = outerSize(window);
    placeOuterWindow(window,
                     screenPixels.topLeft() + QPoint((screenPixels.width() - outer.width()) / 2,
                                                     (screenPixels.height() - outer.height()) / 2));
}

void placeBesideOwner(QWidget& window)
{
    const QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    if (!owner || !owner->isVisible())
        return;
    const QRect beside = frameOf(*owner).outer;
    const QRect screen =
        inScreenPixels(owner->screen()->availableGeometry(), window.devicePixelRatioF());
    const QSize outer = outerSize(window);
    const int roomRight = screen.right() - beside.right();
    const int roomLeft = beside.left() - screen.left();
    // Right of the owner where there is room, else left of it, else on the roomier side; always
    // on the screen, covering what it must of the owner.
    const bool right =
        outer.width() <= roomRight || (outer.width() > roomLeft && roomRight >= roomLeft);
    const int x = right ? beside.right() + 1 : beside.left() - outer.width();
    placeOuterWindow(window,
                     QPoint(onScreen(x, outer.width(), screen.left(), screen.right()),
                            onScreen(beside.top(), outer.height(), screen.top(), screen.bottom())));
}

} // namespace tolvane::platform
