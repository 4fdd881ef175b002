#include "tests/platform/HelperProcesses.h"

#include <QByteArray>
#include <QCoreApplication>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <unistd.h>

#include <cstdio>

namespace tolvane::test {

namespace {

constexpr int helperTimeoutMs = 10000;

class ForeignClient {
public:
    explicit ForeignClient(Display* display)
        : m_display(display)
        , m_netWmName(XInternAtom(display, "_NET_WM_NAME", False))
        , m_utf8String(XInternAtom(display, "UTF8_STRING", False))
    {
    }

    Window create(Window parent) const
    {
        return XCreateSimpleWindow(m_display, parent, 10, 10, 120, 40, 0, 0, 0);
    }
    Window createTopLevel() const { return create(DefaultRootWindow(m_display)); }

    void setNetName(Window window, const QByteArray& utf8) const
    {
        setBytes(window, m_netWmName, m_utf8String, utf8);
    }
    void setLegacyName(Window window, const QByteArray& latin1) const
    {
        setBytes(window, XA_WM_NAME, XA_STRING, latin1);
    }
    void setNames(Window window, const QString& text) const
    {
        setNetName(window, text.toUtf8());
        setLegacyName(window, text.toLatin1());
    }
    void setCardinal(Window window, const char* property, Atom type, unsigned long value) const
    {
        XChangeProperty(m_display, window, XInternAtom(m_display, property, False), type, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
    }
    void markManaged(Window window) const
    {
        const Atom wmState = XInternAtom(m_display, "WM_STATE", False);
        const unsigned long state[] = {NormalState, None};
        XChangeProperty(m_display, window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(state), 2);
    }

private:
    void setBytes(Window window, Atom property, Atom type, const QByteArray& bytes) const
    {
        XChangeProperty(m_display, window, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<int>(bytes.size()));
    }

    Display* m_display;
    Atom m_netWmName;
    Atom m_utf8String;
};

bool inputClosed(int timeoutMs)
{
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (::poll(&input, 1, timeoutMs) <= 0)
        return false;
    char byte = 0;
    return ::read(STDIN_FILENO, &byte, 1) <= 0;
}

void printIds(const QList<Window>& windows)
{
    QStringList words;
    for (Window window : windows)
        words << QString::number(window);
    std::printf("%s\n", words.join(u' ').toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int runForeignClient(const QStringList& arguments)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display || arguments.isEmpty())
        return 2;
    const ForeignClient client(display);
    const QString kind = arguments.first();
    const QStringList texts = arguments.mid(1);
    QList<Window> made;

    if (kind == u"plain") {
        for (const QString& text : texts) {
            made << client.createTopLevel();
            client.setNames(made.last(), text);
        }
    } else if (kind == u"legacy") {
        made << client.createTopLevel();
        client.setLegacyName(made.last(), texts.value(0).toLatin1());
    } else if (kind == u"names") {
        made << client.createTopLevel();
        client.setNetName(made.last(), texts.value(0).toUtf8());
        client.setLegacyName(made.last(), texts.value(1).toLatin1());
    } else if (kind == u"pid") {
        made << client.createTopLevel();
        client.setNames(made.last(), texts.value(0));
        client.setCardinal(made.last(), "_NET_WM_PID", XA_CARDINAL, texts.value(1).toULong());
    } else if (kind == u"owned") {
        const Window owner = client.createTopLevel();
        client.setNames(owner, QStringLiteral("Owner"));
        made << client.createTopLevel() << owner;
        client.setNames(made.first(), texts.value(0));
        XSetTransientForHint(display, made.first(), owner);
    } else if (kind == u"framed") {
        const Window frame = client.createTopLevel();
        client.setNames(frame, texts.value(0));
        const Window border = client.create(frame);
        made << client.create(border) << frame;
        client.setNames(made.first(), texts.value(1));
        client.markManaged(made.first());
        XMapWindow(display, border);
    } else if (kind == u"churn") {
        made << client.createTopLevel();
        client.setNames(made.first(), QStringLiteral("Stable"));
    } else {
        return 2;
    }
    for (Window window : made)
        XMapWindow(display, window);
    XSync(display, False);
    printIds(made);

    if (kind == u"churn") {
        while (!inputClosed(0)) {
            const Window passing = client.createTopLevel();
            client.setNames(passing, QStringLiteral("Passing"));
            XMapWindow(display, passing);
            XDestroyWindow(display, passing);
            XFlush(display);
        }
    } else {
        while (!inputClosed(-1)) {
        }
    }
    XCloseDisplay(display);
    return 0;
}

HelperProcess::HelperProcess(const QStringList& arguments, const QProcessEnvironment& environment)
{
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QCoreApplication::applicationFilePath(), arguments);
    while (!m_process.canReadLine() && m_process.waitForReadyRead(helperTimeoutMs)) {
    }
    if (m_process.canReadLine())
        m_output = QString::fromUtf8(m_process.readLine().trimmed()).split(u' ');
}

HelperProcess::~HelperProcess()
{
    finish();
}

unsigned long HelperProcess::windowId(qsizetype index) const
{
    return m_output.value(index).toULong();
}

void HelperProcess::finish()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(helperTimeoutMs))
        m_process.kill();
    m_process.waitForFinished();
}

} // namespace tolvane::test
