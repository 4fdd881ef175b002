// The main window with damaged data files beside it: a practice still runs to its end and says
// once what failed; a damaged help file is reported inside the help window. The splash and About
// pictures and the help glyph are compiled into the program, so they cannot go missing.
#include "platform/HelpViewer.h"
#include "platform/Jpeg.h"
#include "tests/forms/PracticeRunner.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBrowser>

using namespace tolvane;

namespace {

class ResourceFaultTest : public test::PracticeFixture {
protected:
    void SetUp() override
    {
        PracticeFixture::SetUp();
        QDir::setCurrent(m_dir.path());
    }
    void TearDown() override
    {
        QDir::setCurrent(m_previous);
        PracticeFixture::TearDown();
    }

    void writeFile(const char* name, const QByteArray& bytes) const
    {
        QFile file(m_dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

private:
    QTemporaryDir m_dir;
    QString m_previous = QDir::currentPath();
};

TEST_F(ResourceFaultTest, DamagedCuesLeaveTheKevaliPracticeRunningAndAreReportedOnce)
{
    // A WAV written as a stream that stopped before its sound: the data claims the largest length.
    writeFile("Delay.wav", QByteArray::fromHex("52494646ffffffff57415645666d7420100000000100010040"
                                               "1f0000803e00000200100064617461ffffffff"));
    writeFile("Inhale.wav", QByteArray::fromHex("deadbeef").repeated(64)); // not a WAV file
    writeFile("Exhale.wav", {});                                           // empty
    QDir(QDir::currentPath()).mkdir(QStringLiteral("Exit.wav"));           // a folder
    writeSettings("\"intKevTotalTime\"=dword:00000001\n\"blKevDelay\"=dword:00000001\n");
    window->FormCreate();
    startKevali();
    const auto events = runFor(200'000, 5);
    QCoreApplication::processEvents();

    EXPECT_FALSE(running());
    EXPECT_EQ(panel(1), QStringLiteral("The end"));
    EXPECT_EQ(events.back().status, QStringLiteral("The end"));
    // The delay, then ten rounds of a 5 s breath.
    EXPECT_EQ(events.front().status, QStringLiteral("30 sec. Delay"));
    EXPECT_NEAR(msSinceStart(), 130'000, 10);
    ASSERT_EQ(errors.size(), 1) << errors.join(u'|').toStdString();
    EXPECT_TRUE(errors[0].endsWith(u"Delay.wav holds no sound.")) << errors[0].toStdString();

    // The next practice reports its own failure once more.
    startKevali();
    runFor(200'000, 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(errors.size(), 2);
}

TEST_F(ResourceFaultTest, DamagedHelpFileIsReportedInsideTheViewerAndTheWindowStaysUsable)
{
    writeFile("TOLVANE.HLP", QByteArray("?_\x03\0\x1a\0\0\0", 8)); // an old binary help file
    platform::setApplicationHelpFile(QStringLiteral("TOLVANE.HLP"));
    window->FormCreate();
    window->show();
    window->Help2Click();

    platform::HelpViewer* viewer = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* candidate = qobject_cast<platform::HelpViewer*>(widget);
            candidate && candidate->isVisible())
            viewer = candidate;
    }
    ASSERT_NE(viewer, nullptr);
    const QString shown = viewer->findChild<QTextBrowser*>(QStringLiteral("text"))->toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("The help file \"TOLVANE.HLP\"")))
        << shown.toStdString();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(enabled("PranStart"));
    viewer->close();
    platform::setApplicationHelpFile({});
}

TEST_F(ResourceFaultTest, PicturesAreCompiledIntoTheProgram)
{
    // The working directory holds no picture, and the splash, the About box and Help still have
    // theirs.
    QString error;
    EXPECT_EQ(platform::loadJpeg(QStringLiteral(":/pictures/splash.jpg"), &error).size(),
              QSize(362, 260));
    EXPECT_EQ(error, QString());
    EXPECT_FALSE(QPixmap(QStringLiteral(":/glyphs/help.bmp")).isNull());
}

} // namespace
