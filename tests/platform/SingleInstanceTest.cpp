#include "platform/SingleInstance.h"
#include "platform/ApplicationWindow.h"
#include "platform/WindowWalk.h"
#include "tests/platform/HelperProcesses.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RequireTool.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <sys/prctl.h>

#include <algorithm>
#include <csignal>
#include <optional>

using namespace tolvane::platform;
using tolvane::test::foreignClientMode;
using tolvane::test::HelperProcess;
using tolvane::test::instanceMode;

namespace {

const QString title = QStringLiteral("Tolvane");

HelperProcess foreignWindows(const QStringList& kindAndTexts)
{
    return HelperProcess(QStringList{QString::fromLatin1(foreignClientMode)} + kindAndTexts);
}

std::optional<TopLevelWindow> findWindow(unsigned long id)
{
    const QList<TopLevelWindow> windows = topLevelWindows();
    const auto found = std::find_if(windows.cbegin(), windows.cend(),
                                    [id](const TopLevelWindow& window) { return window.id == id; });
    if (found == windows.cend())
        return std::nullopt;
    return *found;
}

QByteArray stringProperty(Window window, const char* name)
{
    Display* display = x11Display();
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 64, False,
                       AnyPropertyType, &type, &format, &items, &after, &data);
    const QByteArray bytes(reinterpret_cast<const char*>(data), data ? qsizetype(items) : 0);
    if (data)
        XFree(data);
    return bytes;
}

TEST(WindowWalk, RunsOnTheXServerThatQtUses)
{
    ASSERT_NE(x11Display(), nullptr);
    const HelperProcess other = foreignWindows({QStringLiteral("plain"), QStringLiteral("Other")});
    const std::optional<TopLevelWindow> window = findWindow(other.windowId(0));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->text, QByteArray("Other"));
    EXPECT_EQ(window->owner, 0u);
    EXPECT_EQ(window->pid, 0);
}

TEST(WindowWalk, ListsTheTopmostWindowFirst)
{
    const HelperProcess lower = foreignWindows({QStringLiteral("plain"), QStringLiteral("Lower")});
    const HelperProcess upper = foreignWindows({QStringLiteral("plain"), QStringLiteral("Upper")});
    const QList<TopLevelWindow> windows = topLevelWindows();
    const auto position = [&](unsigned long id) {
        return std::find_if(windows.cbegin(), windows.cend(),
                            [id](const TopLevelWindow& w) { return w.id == id; }) -
               windows.cbegin();
    };
    EXPECT_LT(position(upper.windowId(0)), position(lower.windowId(0)));
}

TEST(WindowWalk, ReportsTheOwnerOfATransientWindow)
{
    const HelperProcess other = foreignWindows({QStringLiteral("owned"), title});
    const std::optional<TopLevelWindow> dialog = findWindow(other.windowId(0));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->owner, other.windowId(1));
    EXPECT_EQ(dialog->text, QByteArray("Tolvane"));
}

TEST(WindowWalk, ReportsTheClientInsteadOfItsFrame)
{
    const HelperProcess other =
        foreignWindows({QStringLiteral("framed"), QStringLiteral("Frame"), title});
    const std::optional<TopLevelWindow> client = findWindow(other.windowId(0));
    ASSERT_TRUE(client);
    EXPECT_EQ(client->text, QByteArray("Tolvane"));
    EXPECT_FALSE(findWindow(other.windowId(1)));
}

Window parentOf(Window window)
{
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x11Display(), window, &root, &parent, &children, &count))
        return None;
    if (children)
        XFree(children);
    return parent;
}

TEST(WindowWalk, FindsTheClientThatARealWindowManagerFramed)
{
    const QString twm = QStandardPaths::findExecutable(QStringLiteral("twm"));
    TOLVANE_REQUIRE(!twm.isEmpty(), "twm");
    QTemporaryDir folder;
    QFile config(folder.filePath(QStringLiteral("twmrc")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("RandomPlacement\n"); // places new windows without asking the user
    config.close();
    QProcess manager;
    manager.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    manager.start(twm, {QStringLiteral("-f"), config.fileName()});
    ASSERT_TRUE(manager.waitForStarted());

    const HelperProcess other = foreignWindows({QStringLiteral("plain"), title});
    const Window client = other.windowId(0);
    const Window root = DefaultRootWindow(x11Display());
    // Waiting for another process cannot be avoided here: twm frames the window when it gets to it.
    QDeadlineTimer deadline(10000);
    while (parentOf(client) == root && !deadline.hasExpired())
        QThread::msleep(10);
    Window frame = client;
    while (parentOf(frame) != root && parentOf(frame) != None)
        frame = parentOf(frame);
    ASSERT_NE(frame, client) << "twm did not frame the window (its fonts come with xfonts-base)";

    const std::optional<TopLevelWindow> found = findWindow(client);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->text, QByteArray("Tolvane"));
    EXPECT_FALSE(findWindow(frame));
    EXPECT_TRUE(anotherInstanceRuns(title));

    manager.terminate();
    manager.waitForFinished();
}

TEST(WindowWalk, ReadsLegacyNamesAsLatin1)
{
    const HelperProcess other =
        foreignWindows({QStringLiteral("legacy"), QStringLiteral("Tolv\u00e4ne")});
    const std::optional<TopLevelWindow> window = findWindow(other.windowId(0));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->text, QByteArray("Tolv\xc3\xa4ne"));
}

TEST(WindowWalk, CutsTextsAt127Bytes)
{
    const QString longText(200, u'x');
    const HelperProcess other = foreignWindows({QStringLiteral("plain"), longText});
    const std::optional<TopLevelWindow> window = findWindow(other.windowId(0));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->text, QByteArray(127, 'x'));
    EXPECT_TRUE(anotherInstanceRuns(longText));
}

TEST(WindowWalk, WindowsThatVanishMeanwhileDoNotDisturbIt)
{
    const HelperProcess churn = foreignWindows({QStringLiteral("churn")});
    for (int walk = 0; walk < 200; ++walk) {
        const std::optional<TopLevelWindow> stable = findWindow(churn.windowId(0));
        ASSERT_TRUE(stable) << "walk " << walk;
        ASSERT_EQ(stable->text, QByteArray("Stable"));
    }
}

TEST(SingleInstance, UnownedWindowTitledExactlyAsTheProgramIsAnotherInstance)
{
    EXPECT_FALSE(anotherInstanceRuns(title));
    const HelperProcess other = foreignWindows({QStringLiteral("plain"), title});
    EXPECT_TRUE(anotherInstanceRuns(title));
}

TEST(SingleInstance, OnlyTheWholeTextWithTheSameCaseMatches)
{
    const QStringList near = {QStringLiteral("tolvane"),      QStringLiteral("TOLVANE"),
                              QStringLiteral("Tolvane "),     QStringLiteral(" Tolvane"),
                              QStringLiteral("Tolvan"),       QStringLiteral("Tolvane - 2"),
                              QStringLiteral("Tolv\u00e4ne"), QString()};
    const HelperProcess other = foreignWindows(QStringList{QStringLiteral("plain")} + near);
    ASSERT_EQ(other.output().size(), near.size());
    for (qsizetype i = 0; i < near.size(); ++i)
        EXPECT_EQ(findWindow(other.windowId(i))->text, near[i].toUtf8()) << i;
    EXPECT_FALSE(anotherInstanceRuns(title));
    EXPECT_TRUE(anotherInstanceRuns(QStringLiteral("Tolvane ")));
    EXPECT_TRUE(anotherInstanceRuns(QStringLiteral("Tolv\u00e4ne")));
}

TEST(SingleInstance, OwnedWindowWithTheTitleIsNoInstance)
{
    const HelperProcess other = foreignWindows({QStringLiteral("owned"), title});
    EXPECT_FALSE(anotherInstanceRuns(title));
}

TEST(SingleInstance, ClientInAFrameStandsForTheFrame)
{
    {
        const HelperProcess framed =
            foreignWindows({QStringLiteral("framed"), QStringLiteral("Frame"), title});
        EXPECT_TRUE(anotherInstanceRuns(title));
    }
    const HelperProcess framedOther =
        foreignWindows({QStringLiteral("framed"), title, QStringLiteral("Other")});
    EXPECT_FALSE(anotherInstanceRuns(title));
}

TEST(SingleInstance, ModernNameTakesPrecedenceOverTheLegacyName)
{
    {
        const HelperProcess other =
            foreignWindows({QStringLiteral("names"), title, QStringLiteral("Other")});
        EXPECT_TRUE(anotherInstanceRuns(title));
    }
    const HelperProcess other =
        foreignWindows({QStringLiteral("names"), QStringLiteral("Other"), title});
    EXPECT_FALSE(anotherInstanceRuns(title));
}

TEST(SingleInstance, LegacyLatin1NameMatchesTheSameText)
{
    const HelperProcess other =
        foreignWindows({QStringLiteral("legacy"), QStringLiteral("Tolv\u00e4ne")});
    EXPECT_TRUE(anotherInstanceRuns(QStringLiteral("Tolv\u00e4ne")));
}

TEST(SingleInstance, OwnWindowsAreNoOtherInstance)
{
    createApplicationWindow(title);
    QWidget visible;
    visible.setWindowTitle(title);
    visible.show();
    const std::optional<TopLevelWindow> hidden = findWindow(applicationWindow()->winId());
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden->text, QByteArray("Tolvane"));
    ASSERT_TRUE(findWindow(visible.winId()));
    // Qt's hidden leader of our windows carries the title and no pid.
    const std::optional<TopLevelWindow> leader = findWindow(hidden->leader);
    ASSERT_TRUE(leader);
    EXPECT_EQ(leader->text, QByteArray("Tolvane"));
    EXPECT_EQ(leader->pid, 0);
    EXPECT_FALSE(anotherInstanceRuns(title));

    const HelperProcess other = foreignWindows({QStringLiteral("plain"), title});
    EXPECT_TRUE(anotherInstanceRuns(title));
}

TEST(SingleInstance, WindowThatClaimsOurProcessIsOurs)
{
    const HelperProcess other = foreignWindows(
        {QStringLiteral("pid"), title, QString::number(QCoreApplication::applicationPid())});
    EXPECT_FALSE(anotherInstanceRuns(title));
}

TEST(ApplicationWindow, IsAnUnmappedUnownedWindowNamedWithTheTitle)
{
    const QString appTitle = QStringLiteral("Tolv\u00e4ne application window");
    createApplicationWindow(appTitle);
    QWidget* window = applicationWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    const Window id = window->winId();
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(x11Display(), id, &attributes));
    EXPECT_EQ(attributes.map_state, IsUnmapped);
    EXPECT_EQ(stringProperty(id, "WM_NAME"), appTitle.toLatin1());
    EXPECT_EQ(stringProperty(id, "_NET_WM_NAME"), appTitle.toUtf8());
    EXPECT_TRUE(stringProperty(id, "WM_TRANSIENT_FOR").isEmpty());

    createApplicationWindow(appTitle);
    EXPECT_EQ(applicationWindow(), window);
    EXPECT_EQ(window->winId(), id);
}

TEST(ApplicationWindow, SecondStartFindsTheFirst)
{
    const QString appTitle = QStringLiteral("Tolvane second start");
    const QStringList start = {QString::fromLatin1(instanceMode), appTitle};
    HelperProcess first(start);
    EXPECT_EQ(first.output().mid(0, 2),
              (QStringList{QStringLiteral("alone"), QStringLiteral("alone")}));
    EXPECT_TRUE(anotherInstanceRuns(appTitle));
    {
        const HelperProcess second(start);
        EXPECT_EQ(second.output().mid(0, 2),
                  (QStringList{QStringLiteral("another"), QStringLiteral("another")}));
    }
    first.finish();
    EXPECT_FALSE(anotherInstanceRuns(appTitle));
}

class InstanceLockWithoutX11 : public testing::Test {
protected:
    QProcessEnvironment offscreen() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        return environment;
    }
    QStringList start() const { return {QString::fromLatin1(instanceMode), title}; }

    QTemporaryDir runtime;
    QTemporaryDir config;
    const QStringList alone = {QStringLiteral("alone"), QStringLiteral("alone")};
    const QStringList another = {QStringLiteral("another"), QStringLiteral("another")};
};

TEST_F(InstanceLockWithoutX11, SecondProcessFindsTheLockHeldUntilTheFirstEnds)
{
    HelperProcess first(start(), offscreen());
    EXPECT_EQ(first.output().mid(0, 2), alone);
    EXPECT_TRUE(QFile::exists(runtime.filePath(QStringLiteral("Tolvane.lock"))));
    {
        const HelperProcess second(start(), offscreen());
        EXPECT_EQ(second.output().mid(0, 2), another);
    }
    first.finish();
    const HelperProcess third(start(), offscreen());
    EXPECT_EQ(third.output().mid(0, 2), alone);
}

TEST_F(InstanceLockWithoutX11, LockLiesInTheConfigFolderWithoutARuntimeFolder)
{
    QProcessEnvironment environment = offscreen();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const HelperProcess first(start(), environment);
    EXPECT_EQ(first.output().mid(0, 2), alone);
    EXPECT_TRUE(QFile::exists(config.filePath(QStringLiteral("tolvane/Tolvane.lock"))));
    const HelperProcess second(start(), environment);
    EXPECT_EQ(second.output().mid(0, 2), another);
}

} // namespace
