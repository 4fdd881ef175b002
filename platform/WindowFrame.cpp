#include "platform/WindowFrame.h"

#include "platform/WindowWalk.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <X11/Xlib.h>

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

// The window's own area and its outer window's, borders included, relative to the root.
struct Frame {
    QRect outer;
    QRect client;
};

std::optional<Frame> x11Frame(Display* display, Window client)
{
    const std::optional<Window> outer = outerWindow(display, client);
    if (!outer)
        return std::nullopt;
    Window root = None;
    Window child = None;
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    if (!XGetGeometry(display, *outer, &root, &x, &y, &width, &height, &border, &depth))
        return std::nullopt;
    Frame frame;
    frame.outer = QRect(x, y, int(width + 2 * border), int(height + 2 * border));
    if (!XGetGeometry(display, client, &root, &x, &y, &width, &height, &border, &depth) ||
        !XTranslateCoordinates(display, client, root, 0, 0, &x, &y, &child))
        return std::nullopt;
    frame.client = QRect(x, y, int(width), int(height));
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

// Asks for the frame's corner at the position when the window is shown. Earlier, the widget's
// layout resizing the window would turn the request back into one for the client area.
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
            static_cast<QWindow*>(watched)->setFramePosition(m_position);
            deleteLater();
        }
        return false;
    }

private:
    QPoint m_position;
};

} // namespace

QPoint outerWindowPosition(const QWidget& window)
{
    return frameOf(window).outer.topLeft();
}

void placeOuterWindow(QWidget& window, QPoint position)
{
    const QPoint logical = (QPointF(position) / window.devicePixelRatioF()).toPoint();
    // Where no window manager frames the window, the client area is the outer window.
    window.move(logical);
    window.winId();
    QWindow* handle = window.windowHandle();
    delete handle->findChild<QObject*>(FramePlacement::name(), Qt::FindDirectChildrenOnly);
    new FramePlacement(handle, logical);
}

void centreOuterWindow(QWidget& window)
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
    const qreal ratio = window.devicePixelRatioF();
    const QRect screenPixels = inScreenPixels(window.screen()->geometry(), ratio);
    const QSize outer = (QSizeF(window.size()) * ratio).toSize().grownBy(frame);
    placeOuterWindow(window,
                     screenPixels.topLeft() + QPoint((screenPixels.width() - outer.width()) / 2,
                                                     (screenPixels.height() - outer.height()) / 2));
}

} // namespace tolvane::platform
