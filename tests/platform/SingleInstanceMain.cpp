// The single-instance tests need a real X server, which they start themselves, and a QApplication
// on it. The same binary also serves as the helper processes the tests start.
#include "platform/ApplicationWindow.h"
#include "platform/SingleInstance.h"
#include "tests/platform/HelperProcesses.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QWidget>

#include <gtest/gtest.h>

#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

// Showing a window on X11 makes Qt try the D-Bus session bus; libdbus keeps a read buffer of
// that failed connection to the end of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

namespace {

// A private Xvfb on the first free display from :90 on, ended with this process.
class VirtualDisplay {
public:
    bool start()
    {
        for (int number = 90; number < 200; ++number) {
            const QString name = u':' + QString::number(number);
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
                QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            if (tryStart(name)) {
                m_name = name;
                return true;
            }
        }
        return false;
    }

    const QString& name() const { return m_name; }

    ~VirtualDisplay()
    {
        if (!m_server)
            return;
        m_server->terminate();
        if (!m_server->waitForFinished(5000))
            m_server->kill();
        m_server->waitForFinished();
    }

private:
    // Xvfb writes the display number to -displayfd once it accepts connections; a number that
    // another server took in the meantime makes it fail instead.
    bool tryStart(const QString& name)
    {
        auto server = std::make_unique<QProcess>();
        server->setStandardErrorFile(QProcess::nullDevice());
        server->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        server->start(QStringLiteral("Xvfb"), {name, QStringLiteral("-displayfd"),
                                               QStringLiteral("1"), QStringLiteral("-nolisten"),
                                               QStringLiteral("tcp"), QStringLiteral("-screen"),
                                               QStringLiteral("0"), QStringLiteral("800x600x24")});
        while (!server->canReadLine() && server->waitForReadyRead(10000)) {
        }
        if (!server->canReadLine()) {
            server->kill();
            server->waitForFinished();
            return false;
        }
        m_server = std::move(server);
        return true;
    }

    std::unique_ptr<QProcess> m_server;
    QString m_name;
};

int runInstance(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString title = QString::fromUtf8(argv[2]);
    tolvane::platform::createApplicationWindow(title);
    QStringList words;
    for (int ask = 0; ask < 2; ++ask) {
        words << (tolvane::platform::anotherInstanceRuns(title) ? QStringLiteral("another")
                                                                : QStringLiteral("alone"));
    }
    words << QString::number(tolvane::platform::applicationWindow()->winId());
    std::printf("%s\n", words.join(u' ').toUtf8().constData());
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], tolvane::test::foreignClientMode) == 0) {
        QStringList arguments;
        for (int i = 2; i < argc; ++i)
            arguments << QString::fromUtf8(argv[i]);
        return tolvane::test::runForeignClient(arguments);
    }
    if (argc >= 3 && std::strcmp(argv[1], tolvane::test::instanceMode) == 0)
        return runInstance(argc, argv);

    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    VirtualDisplay display;
    if (!display.start()) {
        std::fprintf(stderr, "Cannot start Xvfb: the single-instance tests need an X server.\n");
        return 1;
    }
    qputenv("DISPLAY", display.name().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    // Qt names its hidden client-group leader window after this, before the first window exists;
    // so the tests see our own process show a leader titled like the program, as it does.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tolvane"));
    return RUN_ALL_TESTS();
}
