#include "forms/Unit5.h"
#include "tests/forms/MainWindowFixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>

using namespace tolvane;

namespace {

using StartupTest = test::MainWindowFixture;

TEST_F(StartupTest, FirstStartOpensIdleAtTheOriginWithTheDefaultsLoaded)
{
    window->FormCreate();
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_EQ(settings.intPrTotalTime, 20);
    EXPECT_EQ(window->practiceClock().intRound, 0);
    EXPECT_EQ(text("LMDLEDLabel1"), QStringLiteral("0:00"));
    EXPECT_EQ(text("LMDLEDLabel2"), QStringLiteral("0:00:00"));
    EXPECT_EQ(text("LMDLEDLabel3"), QStringLiteral("0:00:00"));
    EXPECT_EQ(text("LMDLEDLabel4"), QStringLiteral("000"));
    EXPECT_EQ(panel(0), QString());
    EXPECT_EQ(panel(1), QString());
    EXPECT_TRUE(enabled("PranStart"));
    EXPECT_TRUE(enabled("BeginBreathing1"));
    EXPECT_TRUE(enabled("LMDMMButton6"));
    EXPECT_FALSE(enabled("StopProg"));
    EXPECT_FALSE(enabled("Stop1"));
    EXPECT_FALSE(timer1()->isActive());
    EXPECT_FALSE(platform::quitRequested());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tolvane"));
}

TEST_F(StartupTest, StoredPositionIsAppliedAsItIsEvenOffScreen)
{
    writeSettings("\"intLeft\"=dword:0000012c\n\"intTop\"=dword:ffffd8f0\n");
    window->FormCreate();
    EXPECT_EQ(window->pos(), QPoint(300, -10000));
}

TEST_F(StartupTest, SplashIsShownBeforeTheSettingsAreLoaded)
{
    bool splashSawDefaults = true;
    window->setSplashScreen([&](QWidget* owner) {
        EXPECT_EQ(owner, window.get());
        splashSawDefaults = settings.intPrTotalTime != 0;
    });
    window->FormCreate();
    EXPECT_FALSE(splashSawDefaults);
    EXPECT_EQ(settings.intPrTotalTime, 20);
}

TEST_F(StartupTest, SettingsErrorSkipsTheRestOfTheStartUp)
{
    writeSettings("\"intPrTotalTime\"=dword:00000007\n\"intTop\"=\"abc\"\n"
                  "\"intLeft\"=dword:0000012c\n");
    platform::dispatch([&] { window->FormCreate(); });
    EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid data type for 'intTop'")});
    EXPECT_EQ(settings.intPrTotalTime, 7);
    EXPECT_EQ(settings.intLeft, 0);   // read after intTop, so never
    EXPECT_TRUE(enabled("StopProg")); // the idle state was never set
}

TEST_F(StartupTest, SettingsFileWithABadLineIsToldOnceAndKeptAsItIs)
{
    writeSettings("\"intLeft\"=dword:0000012c\n\"intPrInhale\"=6\n");
    const QByteArray file = config.readRegistryFile();
    window->FormCreate();
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("Tolvane cannot read line 5 of its settings file %1:\n\n"
                                         "\"intPrInhale\"=6\n\nIt uses the rest of the file, and "
                                         "the defaults for what it cannot read. Tolvane will not "
                                         "change the file until it is mended.")
                              .arg(config.registryFile())});
    EXPECT_EQ(window->pos(), QPoint(300, 0)); // the lines it can read are used
    EXPECT_EQ(settings.intPrInhale, 5);
    EXPECT_FALSE(enabled("StopProg")); // the start-up went on
    EXPECT_TRUE(window->close());
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(config.readRegistryFile(), file);
}

TEST_F(StartupTest, SettingsOfEarlierVersionsAreCopiedKeepingEveryByteAndTheOldFile)
{
    const QString oldFolder = config.configHome() + QStringLiteral("/Tolvane");
    QFile old(oldFolder + QStringLiteral("/registry.reg"));
    ASSERT_TRUE(QDir().mkpath(oldFolder) && old.open(QIODevice::WriteOnly));
    old.write("REGEDIT4\n\n; by hand\n[HKEY_CURRENT_USER\\SOFTWARE\\Other]\n\"x\"=\"y\"\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n\"intLeft\"=dword:0000012c\n");
    old.close();
    // While a plain file stands where the new folder belongs, the old file stays in use.
    QFile blocker(config.configHome() + QStringLiteral("/tolvane"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    window->FormCreate();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Tolvane could not copy its settings file %1 into "
                                                 "the folder %2 and goes on using %1.")
                                      .arg(old.fileName(), blocker.fileName())});
    EXPECT_EQ(window->pos(), QPoint(300, 0));

    ASSERT_TRUE(old.open(QIODevice::ReadOnly) && blocker.remove());
    const QByteArray kept = old.readAll(); // now with every value, so the next start writes none
    old.close();
    settings = {};
    window->FormCreate();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(config.readRegistryFile(), kept);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), kept); // left for earlier versions
    EXPECT_EQ(window->pos(), QPoint(300, 0));
}

TEST_F(StartupTest, ClosingStoresThePositionAndEndsTheProgram)
{
    window->FormCreate();
    window->move(123, 45);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(platform::quitRequested());
    settings = {};
    window->FormCreate();
    EXPECT_EQ(settings.intLeft, 123);
    EXPECT_EQ(settings.intTop, 45);
}

TEST_F(StartupTest, ClosingDuringAPracticeEndsWithoutItsEnd)
{
    window->FormCreate();
    window->Beginbreathing1Click();
    clock.advanceMs(1);
    window->Timer1Timer();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(lastCue(), QStringLiteral("Inhale.wav"));
    EXPECT_EQ(panel(1), QStringLiteral("Puraka"));
}

TEST_F(StartupTest, PositionThatCannotBeStoredKeepsTheWindowOpen)
{
    window->FormCreate();
    window->move(50, 60);
    // The key opens, but no value can be written while the lock cannot be taken.
    const QString lock = config.registryFile() + QStringLiteral(".lock");
    QFile::remove(lock);
    ASSERT_TRUE(QDir().mkpath(lock));
    EXPECT_FALSE(window->close());
    EXPECT_EQ(errors, QStringList{QStringLiteral("Failed to set data for 'intLeft'")});
    EXPECT_FALSE(platform::quitRequested());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(errors.last(), QStringLiteral("Failed to set data for 'intLeft'\n\nClosed again, "
                                            "Tolvane ends without storing the window's place."));
    EXPECT_TRUE(platform::quitRequested());
}

TEST_F(StartupTest, QuittingTheApplicationIsNeverHeldUpByAPositionThatCannotBeStored)
{
    window->FormCreate();
    window->show();
    const QString lock = config.registryFile() + QStringLiteral(".lock");
    ASSERT_TRUE(QFile::remove(lock) && QDir().mkpath(lock));
    QEvent quit(QEvent::Quit); // what the session manager sends when the session ends
    QCoreApplication::sendEvent(qApp, &quit);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(errors, QStringList());
    EXPECT_TRUE(platform::quitRequested());
}

TEST(SplashTest, ShowsTheVersionOverThePictureForThreeSeconds)
{
    TBeginning splash;
    EXPECT_EQ(splash.size(), QSize(361, 259));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    const auto* version = splash.findChild<QLabel*>(QStringLiteral("Label2"));
    EXPECT_EQ(version->text(), QStringLiteral("Version 3.1"));
    EXPECT_EQ(version->geometry(), QRect(141, 222, 80, 20));
    const auto* picture = splash.findChild<QLabel*>(QStringLiteral("Image1"));
    EXPECT_EQ(picture->pixmap().size(), QSize(362, 260));
    const auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 3000);
    splash.show();
    splash.Timer1Timer();
    EXPECT_FALSE(splash.isVisible());
}

} // namespace
