#include "forms/Unit4.h"
#include "platform/Fonts.h"
#include "tests/forms/MainWindowFixture.h"
#include "tests/support/RequireTool.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

using namespace tolvane;

namespace {

using MainWindowTest = test::MainWindowFixture;

struct CommandStates {
    bool start, stop, settings;
};

void expectCommands(const std::function<bool(const char*)>& enabled, CommandStates states,
                    const char* when)
{
    for (const char* name : {"PranStart", "BeginBreathing1", "KevaliStart", "Kevali1"})
        EXPECT_EQ(enabled(name), states.start) << name << " " << when;
    for (const char* name : {"StopProg", "Stop1"})
        EXPECT_EQ(enabled(name), states.stop) << name << " " << when;
    for (const char* name : {"PranSet", "KevaliSet", "Settings1"})
        EXPECT_EQ(enabled(name), states.settings) << name << " " << when;
    for (const char* name : {"LMDMMButton6", "Exit1", "Help1", "Help2", "About1", "Action1"})
        EXPECT_TRUE(enabled(name)) << name << " " << when;
}

TEST_F(MainWindowTest, CommandStateTableHoldsInEveryState)
{
    const auto isEnabled = [this](const char* name) { return enabled(name); };
    window->FormCreate();
    expectCommands(isEnabled, {true, false, true}, "idle");

    window->Beginbreathing1Click();
    expectCommands(isEnabled, {false, true, false}, "Pranayama");
    EXPECT_TRUE(timer1()->isActive());
    EXPECT_EQ(stopCaption(), QColor(0, 255, 0));
    window->Stop1Click();
    expectCommands(isEnabled, {true, false, true}, "after Stop");

    window->Kevali1Click();
    expectCommands(isEnabled, {false, true, false}, "Kevali");
    EXPECT_FALSE(timer1()->isActive());
    EXPECT_TRUE(window->findChild<QTimer*>(QStringLiteral("Timer2"))->isActive());
    EXPECT_EQ(stopCaption(), QColor(255, 255, 0));
    window->Stop1Click();
    EXPECT_EQ(stopCaption(), QColor(255, 255, 0)); // idle keeps the last colour
    EXPECT_FALSE(window->findChild<QTimer*>(QStringLiteral("Timer2"))->isActive());
}

TEST_F(MainWindowTest, LayoutMatchesTheDeclaredForm)
{
    window->FormCreate();
    window->show();
    const auto* client = window->findChild<QWidget*>(QStringLiteral("ClientArea"));
    EXPECT_EQ(client->size(), QSize(271, 195));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tolvane"));
    const struct {
        const char* name;
        QRect bounds;
        const char* hint;
    } buttons[] = {
        {"PranStart", {19, 144, 25, 25}, "Start Pranayama"},
        {"KevaliStart", {60, 144, 25, 25}, "Start Kevali"},
        {"StopProg", {102, 144, 25, 25}, "Stop Programme"},
        {"PranSet", {143, 144, 25, 25}, "Pranayama Settings"},
        {"KevaliSet", {185, 144, 25, 25}, "Kevali Settings"},
        {"LMDMMButton6", {227, 144, 25, 25}, "Exit Programme"},
    };
    for (const auto& button : buttons) {
        const auto* widget = window->findChild<QWidget*>(QString::fromLatin1(button.name));
        EXPECT_EQ(widget->geometry(), button.bounds) << button.name;
        EXPECT_EQ(widget->toolTip(), QString::fromLatin1(button.hint)) << button.name;
        EXPECT_EQ(widget->cursor().shape(), Qt::PointingHandCursor) << button.name;
    }
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("LMDLEDLabel1"))->geometry(),
              QRect(35, 8, 201, 78));
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("StatusBar1"))->geometry(),
              QRect(0, 176, 271, 19));
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->width(), 130);
}

TEST_F(MainWindowTest, MenuTreeHasTheCommandsInOrder)
{
    QStringList tree;
    for (QAction* top : window->findChild<QMenuBar*>(QStringLiteral("MainMenu1"))->actions()) {
        tree << top->text();
        for (QAction* item : top->menu()->actions())
            tree << (item->isSeparator() ? QStringLiteral("-") : u"  " + item->text());
    }
    EXPECT_EQ(tree, (QStringList{u"Action"_qs, u"  Start Pranayama"_qs, u"  Start Kevali"_qs,
                                 u"-"_qs, u"  Stop"_qs, u"  Practice Log"_qs, u"-"_qs, u"  Exit"_qs,
                                 u"Settings"_qs, u"  Pranayama Type"_qs, u"  Kevali Type"_qs,
                                 u"  Reminder"_qs, u"Help"_qs, u"  Help"_qs, u"  About"_qs}));
    const QImage glyph = window->findChild<QAction*>(QStringLiteral("Help2"))
                             ->icon()
                             .pixmap(16, 16)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(glyph.pixel(0, 0)), 0);         // the dark red corner is transparent
    EXPECT_EQ(glyph.pixel(7, 3), qRgb(255, 255, 0)); // the question mark
    EXPECT_EQ(glyph.pixel(5, 2), qRgb(128, 0, 128)); // the purple cover
}

// The pixels of one colour in a widget as drawn: rows of '#' and '.' over their bounds, by '|'.
QString ink(const char* name, const QWidget& window, QColor colour)
{
    const QImage image = window.findChild<QWidget*>(QString::fromLatin1(name))
                             ->grab()
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                bounds |= QRect(x, y, 1, 1);
    QStringList rows;
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        rows << QString();
        for (int x = bounds.left(); x <= bounds.right(); ++x)
            rows.last() += image.pixelColor(x, y) == colour ? u'#' : u'.';
    }
    return rows.join(u'|');
}

TEST_F(MainWindowTest, TenPointCaptionsDrawTheSixteenPixelStrike)
{
    TOLVANE_REQUIRE(platform::isRasterFont(QFont(QStringLiteral("MS Sans Serif"))), "fonts-wine");
    window->FormCreate();
    const QColor lime(0, 255, 0);
    // ">" of the 16-pixel strike is 5 x 9; the 13-pixel strike's is 4 x 7.
    const QString arrow = QStringLiteral("#....|.#...|..#..|...#.|....#|...#.|..#..|.#...|#....");
    EXPECT_EQ(ink("PranStart", *window, lime), arrow);
    EXPECT_EQ(ink("KevaliStart", *window, QColor(255, 255, 0)), arrow);
    window->Beginbreathing1Click();
    // "|" is 1 x 13, and bold the way a bitmap font is: overstruck one pixel to the right.
    EXPECT_EQ(ink("StopProg", *window, lime), QStringList(13, QStringLiteral("##")).join(u'|'));
    // The 8-point captions keep the 13-pixel strike, whose "X" is 7 x 9 (the other's 8 x 10).
    EXPECT_EQ(ink("LMDMMButton6", *window, lime).count(u'|'), 8);

    const QFontMetrics metrics(window->findChild<QWidget*>(QStringLiteral("dxfLabel1"))->font());
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("Remaining time")), 72);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("Elapsed time")), 60);
}

TEST_F(MainWindowTest, PracticeKeepsCountingBehindTheAboutBox)
{
    window->FormCreate();
    window->Beginbreathing1Click();
    QString elapsedBehindBox;
    // The fake clock keeps pace with the timers, which wait for the moment a display changes.
    QElapsedTimer realTime;
    realTime.start();
    long long followed = 0;
    QTimer advance;
    QObject::connect(&advance, &QTimer::timeout, [&] {
        const long long now = realTime.elapsed();
        clock.advanceMs(now - followed);
        followed = now;
    });
    advance.start(1);
    QTimer::singleShot(1300, [&] {
        auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("About"));
        EXPECT_TRUE(box->findChild<QWidget*>(QStringLiteral("BitBtn1"))->hasFocus());
        elapsedBehindBox = text("LMDLEDLabel3");
        box->BitBtn1Click();
    });
    window->About1Click();
    advance.stop();
    EXPECT_NE(elapsedBehindBox, QStringLiteral("0:00:00"));
    EXPECT_TRUE(timer1()->isActive());
}

TEST(AboutBoxTest, ShowsTheProductAndIgnoresEscape)
{
    TAboutBox box;
    EXPECT_EQ(box.size(), QSize(209, 131));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("ProductName"))->text(),
              QStringLiteral("Tolvane"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Version"))->text(),
              QStringLiteral("Version 3.1"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("ProgramIcon"))->size(), QSize(57, 49));
    EXPECT_FALSE(box.findChild<QLabel*>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
    box.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&box, &escape);
    EXPECT_TRUE(box.isVisible());
    box.close();
    EXPECT_FALSE(box.isVisible());
}

} // namespace
