#include "platform/HelpViewer.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QWindow>

#include <memory>

using namespace tolvane::platform;

namespace {

const QString guidePath = QStringLiteral(TOLVANE_HELP_FILE);

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The topics a Markdown file should list: "#" and "##" headings, as "level text".
QStringList headingsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression heading(QStringLiteral("^(#{1,2}) +(.+?) *$"));
    QStringList headings;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QRegularExpressionMatch match = heading.match(line);
        if (match.hasMatch())
            headings << QString::number(match.capturedLength(1)) + u' ' + match.captured(2);
    }
    return headings;
}

// The topic tree in reading order, as "depth text" with depth 1 for the top level.
QStringList topicsOf(const HelpViewer* viewer)
{
    QStringList topics;
    const QTreeWidget* tree = viewer->findChild<QTreeWidget*>(QStringLiteral("topics"));
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* chapter = tree->topLevelItem(i);
        topics << u"1 " + chapter->text(0);
        for (int j = 0; j < chapter->childCount(); ++j)
            topics << u"2 " + chapter->child(j)->text(0);
    }
    return topics;
}

QTextBrowser* textOf(const HelpViewer* viewer)
{
    return viewer->findChild<QTextBrowser*>(QStringLiteral("text"));
}

QList<HelpViewer*> openViewers()
{
    QList<HelpViewer*> viewers;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<HelpViewer*>(window); viewer && viewer->isVisible())
            viewers << viewer;
    return viewers;
}

// Runs a test in a working directory of its own.
class WorkingDirectory {
public:
    WorkingDirectory()
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
    }
    ~WorkingDirectory() { QDir::setCurrent(m_previous); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

class HelpViewerTest : public testing::Test {
protected:
    void SetUp() override
    {
        owner = std::make_unique<QWidget>();
        owner->setWindowTitle(QStringLiteral("Tolvane"));
        owner->show();
    }
    void TearDown() override
    {
        owner.reset(); // takes its viewers with it
    }

    std::unique_ptr<QWidget> owner;
};

TEST_F(HelpViewerTest, GuideOpensAsAnOwnedWindowTitledAfterItsProgram)
{
    HelpViewer* viewer = showHelpContents(owner.get(), guidePath);

    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->isWindow());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Tolvane Help"));
    EXPECT_EQ(viewer->parentWidget(), owner.get());
    EXPECT_EQ(viewer->windowHandle()->transientParent(), owner->windowHandle());
    EXPECT_EQ(viewer->size(), QSize(640, 480));
}

TEST_F(HelpViewerTest, TopicsAreTheGuidesHeadingsInOrder)
{
    const QStringList headings = headingsOf(guidePath);
    ASSERT_GT(headings.size(), 20);

    const HelpViewer* viewer = showHelpContents(owner.get(), guidePath);

    EXPECT_EQ(topicsOf(viewer), headings);
    EXPECT_TRUE(viewer->findChild<QTreeWidget*>(QStringLiteral("topics"))->isVisible());
}

TEST_F(HelpViewerTest, MainWindowStaysUsableWhileHelpIsOpen)
{
    const HelpViewer* viewer = showHelpContents(owner.get(), guidePath);

    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(viewer->windowModality(), Qt::NonModal);
    EXPECT_TRUE(owner->isEnabled());
    EXPECT_TRUE(owner->isVisible());
}

TEST_F(HelpViewerTest, OpeningTwiceKeepsOneWindow)
{
    HelpViewer* first = showHelpContents(owner.get(), guidePath);
    HelpViewer* second = showHelpContents(owner.get(), guidePath);

    EXPECT_EQ(first, second);
    EXPECT_EQ(openViewers().size(), 1);
}

TEST_F(HelpViewerTest, ReopeningAfterMinimizingRestoresTheWindow)
{
    HelpViewer* viewer = showHelpContents(owner.get(), guidePath);
    viewer->showMinimized();

    showHelpContents(owner.get(), guidePath);

    EXPECT_FALSE(viewer->isMinimized());
    EXPECT_TRUE(viewer->isVisible());
}

TEST_F(HelpViewerTest, EachOwnerGetsItsOwnWindow)
{
    QWidget otherOwner;
    otherOwner.show();

    const HelpViewer* first = showHelpContents(owner.get(), guidePath);
    const HelpViewer* second = showHelpContents(&otherOwner, guidePath);

    EXPECT_NE(first, second);
    EXPECT_EQ(second->parentWidget(), &otherOwner);
}

TEST_F(HelpViewerTest, EscapeClosesAndDestroysTheWindow)
{
    QPointer<HelpViewer> viewer = showHelpContents(owner.get(), guidePath);
    auto* topics = viewer->findChild<QTreeWidget*>(QStringLiteral("topics"));

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(topics, &escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_TRUE(viewer.isNull());
    EXPECT_TRUE(owner->isVisible());
}

TEST_F(HelpViewerTest, ReopeningRightAfterClosingOpensAFreshWindow)
{
    QPointer<HelpViewer> closed = showHelpContents(owner.get(), guidePath);
    closed->close();

    QPointer<HelpViewer> reopened = showHelpContents(owner.get(), guidePath);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_TRUE(closed.isNull());
    ASSERT_FALSE(reopened.isNull());
    EXPECT_TRUE(reopened->isVisible());
}

TEST_F(HelpViewerTest, SelectingATopicBringsItsHeadingToTheTop)
{
    HelpViewer* viewer = showHelpContents(owner.get(), guidePath);
    auto* tree = viewer->findChild<QTreeWidget*>(QStringLiteral("topics"));
    QTextBrowser* text = textOf(viewer);
    // A topic in the middle of the guide has enough text below it to reach the top.
    const QList<QTreeWidgetItem*> all =
        tree->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive);
    QTreeWidgetItem* topic = all[all.size() / 2];

    tree->setCurrentItem(topic);

    EXPECT_EQ(text->textCursor().block().text(), topic->text(0));
    const int scrolled = text->verticalScrollBar()->value();
    EXPECT_GT(scrolled, 0);
    const QRect headingRect = text->cursorRect();
    EXPECT_GE(headingRect.top(), 0);
    EXPECT_LT(headingRect.top(), text->viewport()->height() / 4);

    tree->setCurrentItem(tree->topLevelItem(0));

    EXPECT_EQ(text->textCursor().block().text(), tree->topLevelItem(0)->text(0));
    EXPECT_LT(text->verticalScrollBar()->value(), scrolled);
}

TEST_F(HelpViewerTest, GuideUsesTheProgramsOwnTexts)
{
    const QString shown = textOf(showHelpContents(owner.get(), guidePath))->toPlainText();

    for (const char* expected : {"Puraka",
                                 "Abhyantara Kumbhaka",
                                 "Rechaka",
                                 "Bahya Kumbhaka",
                                 "No Kumbhaka",
                                 "One Kumbhaka",
                                 "Two Kumbhakas",
                                 "1:(4):2:(2)",
                                 "1:(1):1:(1)",
                                 "Free",
                                 "30 sec. Delay",
                                 "How are you?",
                                 "The breathing practice was easy",
                                 "The breathing was slightly difficult",
                                 "I couldn't follow this rhythm at all",
                                 "Delay.wav",
                                 "Inhale.wav",
                                 "Check.wav",
                                 "Exhale.wav",
                                 "Exit.wav",
                                 "$XDG_CONFIG_HOME/tolvane/registry.reg",
                                 "Time of Practice",
                                 "Initial Length",
                                 "Add one second to the round every"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(expected))) << expected;
}

TEST_F(HelpViewerTest, MissingFileIsReportedInsideTheViewer)
{
    WorkingDirectory empty;

    const HelpViewer* viewer = showHelpContents(owner.get(), QStringLiteral("NOSUCH.HLP"));

    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Tolvane Help"));
    const QString shown = textOf(viewer)->toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("The help file \"NOSUCH.HLP\" was not found.")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QDir::currentPath())) << shown.toStdString();
    EXPECT_FALSE(viewer->findChild<QTreeWidget*>(QStringLiteral("topics"))->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(owner->isEnabled());
}

TEST_F(HelpViewerTest, FilesThatCannotBeShownAreReportedInsideTheViewer)
{
    WorkingDirectory dir;
    writeFile(dir.filePath(QStringLiteral("HUGE.HLP")), QByteArray(1024 * 1024 + 1, 'x'));
    writeFile(dir.filePath(QStringLiteral("BINARY.HLP")), QByteArray("?_\x03\0\x1a\0\0\0", 8));
    QDir(dir.filePath({})).mkdir(QStringLiteral("FOLDER.HLP"));
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"HUGE.HLP", "The help file \"HUGE.HLP\" is too large to show"},
        {"BINARY.HLP", "The help file \"BINARY.HLP\" is not a text help file"},
        {"FOLDER.HLP", "The help file \"FOLDER.HLP\" cannot be read"},
    };
    for (const auto& testCase : cases) {
        const HelpViewer* viewer =
            showHelpContents(owner.get(), dir.filePath(QString::fromUtf8(testCase.name)));
        const QString shown = textOf(viewer)->toPlainText();
        EXPECT_TRUE(shown.startsWith(QString::fromUtf8(testCase.message)))
            << testCase.name << ": " << shown.toStdString();
        EXPECT_FALSE(viewer->findChild<QTreeWidget*>(QStringLiteral("topics"))->isVisible());
    }
}

TEST_F(HelpViewerTest, AFileWithoutHeadingsShowsItsTextAlone)
{
    WorkingDirectory dir;
    writeFile(dir.filePath(QStringLiteral("PLAIN.HLP")), "Breathe in, breathe out.\n");

    const HelpViewer* viewer = showHelpContents(owner.get(), QStringLiteral("PLAIN.HLP"));

    EXPECT_EQ(textOf(viewer)->toPlainText(), QStringLiteral("Breathe in, breathe out."));
    EXPECT_FALSE(viewer->findChild<QTreeWidget*>(QStringLiteral("topics"))->isVisible());
}

} // namespace
