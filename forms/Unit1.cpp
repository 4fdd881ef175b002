#include "forms/Unit1.h"

#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "forms/Unit5.h"
#include "forms/Unit8.h"
#include "platform/Application.h"
#include "platform/Audio.h"
#include "platform/DataFiles.h"
#include "platform/ErrorDispatch.h"
#include "platform/HelpViewer.h"
#include "platform/ProcessEnd.h"
#include "platform/SingleInstance.h"
#include "platform/WindowFrame.h"
#include "practice/TimeFormat.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit1.h"
#include "widgets/BackGround.h"
#include "widgets/BitmapList.h"
#include "widgets/ImageButton.h"
#include "widgets/MediaPlayer.h"
#include "widgets/StatusBar.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QLayout>
#include <QSessionManager>
#include <QTimer>

#include <array>
#include <utility>

namespace tolvane {

namespace {

// The Help glyph; its dark red corner colour is transparent.
QIcon helpGlyph()
{
    QPixmap glyph(QStringLiteral(":/glyphs/help.bmp"));
    glyph.setMask(glyph.createMaskFromColor(QColor(128, 0, 0)));
    return QIcon(glyph);
}

} // namespace

TPranayama::TPranayama(platform::Clock& clock, QString logPath, QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TPranayama>())
    , m_clock(clock)
    , Timer1(new QTimer(this))
    , Timer2(new QTimer(this))
    , MediaPlayer1(new TMediaPlayer(this))
    , m_showSplash([](QWidget* owner) {
        TBeginning splash(owner);
        splash.exec();
    })
    , m_practiceLog(std::move(logPath))
{
    ui->setupUi(this);
    // The client area's black comes from its background painter, not from a style.
    dxfBackGround1 = new TdxfBackGround(ui->ClientArea);
    dxfBackGround1->setObjectName(QStringLiteral("dxfBackGround1"));
    dxfBackGround1->setBeginColor(Qt::black);
    dxfBackGround1->setEndColor(Qt::black);
    dxfBackGround1->setFillStyle(TdxfBackGround::fsVert);
    dxfBackGround1->setSpeed(700);
    // The six buttons share the two faces; damaged face data leaves them with captions only.
    LMDBitmapList1 = new TLMDBitmapList(this);
    LMDBitmapList1->setObjectName(QStringLiteral("LMDBitmapList1"));
    platform::dispatch(
        [this] { LMDBitmapList1->loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin")); });
    for (TLMDMMButton* button : {ui->PranStart, ui->KevaliStart, ui->StopProg, ui->PranSet,
                                 ui->KevaliSet, ui->LMDMMButton6})
        button->setButtonFaceImageList(LMDBitmapList1);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    ui->Help2->setIcon(helpGlyph());

    for (QTimer* timer : {Timer1, Timer2}) {
        timer->setInterval(tickPeriodMs);
        timer->setTimerType(Qt::PreciseTimer);
    }
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2->setObjectName(QStringLiteral("Timer2"));
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));

    using platform::handler;
    connectPracticeTimer(Timer1, &TPranayama::Timer1Timer);
    connectPracticeTimer(Timer2, &TPranayama::Timer2Timer);
    // A menu command runs once the menu has let go of it: one pressed through assistive
    // technology is answered at once, also when it opens a modal dialog.
    const auto bind = [this](TLMDMMButton* button, QAction* item, void (TPranayama::*method)()) {
        if (button)
            connect(button, &TLMDMMButton::clicked, this, handler(this, method));
        connect(item, &QAction::triggered, this, handler(this, method), Qt::QueuedConnection);
    };
    bind(ui->PranStart, ui->BeginBreathing1, &TPranayama::Beginbreathing1Click);
    bind(ui->KevaliStart, ui->Kevali1, &TPranayama::Kevali1Click);
    bind(ui->StopProg, ui->Stop1, &TPranayama::Stop1Click);
    bind(ui->LMDMMButton6, ui->Exit1, &TPranayama::Exit1Click);
    bind(ui->PranSet, ui->PranayamaType1, &TPranayama::Pranayamatype1Click);
    bind(ui->KevaliSet, ui->KevaliType1, &TPranayama::KevaliType1Click);
    bind(nullptr, ui->Reminder1, &TPranayama::Reminder1Click);
    bind(nullptr, ui->Help2, &TPranayama::Help2Click);
    bind(nullptr, ui->About1, &TPranayama::About1Click);
    bind(nullptr, ui->PracticeLog1, &TPranayama::PracticeLog1Click);
    // However the program comes to end, a practice under way is recorded as closed.
    connect(qApp, &QCoreApplication::aboutToQuit, this,
            [this] { logPracticeEnd(practicelog::Ended::Close); });
    // Even when the toolkit ends the process on a lost display.
    platform::setExitHandler([this] { recordPracticeAtExit(); });

    // A session that ends asks to commit data and then to quit; neither may wait for the user.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this] { m_sessionEnding = true; });
    qApp->installEventFilter(this);
}

TPranayama::~TPranayama()
{
    platform::setExitHandler({});
}

void TPranayama::setSplashScreen(std::function<void(QWidget*)> show)
{
    m_showSplash = std::move(show);
}

void TPranayama::FormCreate()
{
    winId();
    if (platform::anotherInstanceRuns(platform::applicationTitle()))
        platform::postQuitMessage(0);

    // A start that found another instance ends before the splash would show.
    if (!platform::quitRequested())
        m_showSplash(this);

    // A second start leaves the file to the running instance, which has told what it needs to.
    if (!platform::quitRequested()) {
        for (const QString& notice : store::settingsFileNotices())
            platform::reportError(notice);
    }
    store::startupLoad();

    platform::placeOuterWindow(*this, QPoint(settings.intLeft, settings.intTop));

    m_practice.intRound = 0;
    Timer1->stop();
    ui->StopProg->setEnabled(false);
    ui->Stop1->setEnabled(false);
}

void TPranayama::FormClose()
{
    const QPoint outer = platform::outerWindowPosition(*this);
    settings.intTop = outer.y();
    settings.intLeft = outer.x();
    store::writeWindowPosition();
    platform::postQuitMessage(0);
}

void TPranayama::closeEvent(QCloseEvent* event)
{
    const std::optional<QString> failure = platform::failureOf([this] { FormClose(); });
    if (!failure) {
        event->accept();
        return;
    }
    // A position that cannot be stored keeps the window open once, so the user can try again;
    // the same failure at the next close gives the position up, and says so. An ending session
    // never waits.
    const bool givingUp = m_sessionEnding || *failure == m_closeFailure;
    if (!m_sessionEnding)
        platform::reportError(givingUp ? platform::errorBoxText(*failure) +
                                             tr("\n\nClosed again, Tolvane ends without "
                                                "storing the window's place.")
                                       : *failure);
    if (givingUp) {
        platform::postQuitMessage(0);
        event->accept();
    } else {
        m_closeFailure = *failure;
        event->ignore();
    }
}

bool TPranayama::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::Quit)
        m_sessionEnding = true;
    return QMainWindow::eventFilter(watched, event);
}

void TPranayama::endSession()
{
    m_sessionEnding = true;
    if (isVisible())
        close();
    else
        platform::postQuitMessage(0);
}

void TPranayama::Exit1Click()
{
    close();
}

void TPranayama::Pranayamatype1Click()
{
    TSettings dialog(this);
    dialog.exec();
}

void TPranayama::KevaliType1Click()
{
    TKSettings dialog(this);
    dialog.exec();
}

void TPranayama::Reminder1Click()
{
    TReminderSettings dialog(this);
    dialog.exec();
}

void TPranayama::ReminderStart(practicelog::Exercise exercise)
{
    showNormal();
    raise();
    activateWindow();
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
        return;
    }
    if (!ui->PranStart->isEnabled())
        return;
    platform::dispatch([this, exercise] {
        if (exercise == practicelog::Exercise::Kevali)
            Kevali1Click();
        else
            Beginbreathing1Click();
    });
}

void TPranayama::About1Click()
{
    TAboutBox aboutBox(this);
    aboutBox.exec();
}

void TPranayama::Help2Click()
{
    platform::showHelpContents(this, platform::applicationHelpFile());
}

void TPranayama::setStartCommandsEnabled(bool enabled)
{
    const std::array<QWidget*, 5> startCommands{ui->PranStart, ui->KevaliStart, ui->PranSet,
                                                ui->KevaliSet, ui->Settings1};
    for (QWidget* command : startCommands)
        command->setEnabled(enabled);
    ui->BeginBreathing1->setEnabled(enabled);
    ui->Kevali1->setEnabled(enabled);
    ui->Stop1->setEnabled(!enabled);
    ui->StopProg->setEnabled(!enabled);
}

void TPranayama::setRunningCommands(const QColor& stopCaption)
{
    setStartCommandsEnabled(false);
    ui->StopProg->setCaptionColor(stopCaption);
}

void TPranayama::setIdleCommands()
{
    setStartCommandsEnabled(true);
}

void TPranayama::setStatusPanel(int panel, const QString& text)
{
    TStatusPanel* shown = panel == 0 ? ui->StatusPanel0 : ui->StatusPanel1;
    if (shown->text() != text) {
        shown->setText(text);
        // Shown at once, like the displays: a phase's name appears with its cue, not after it.
        shown->repaint();
    }
    // The phase panel is written only as a phase begins or the practice ends, and a screen
    // reader speaks each such text once, even a phase that follows one of the same name.
    shown->announce();
}

// Decodes the cue files while the first phase runs, so that no later phase waits for that: the
// first phase lasts two seconds or more and shows nothing new in its first second.
void TPranayama::prepareCuesSoon()
{
    QTimer::singleShot(100, this, [] {
        for (const Cue cue : allCues)
            platform::prepareClip(platform::locateDataFile(cueFileName(cue)));
    });
}

void TPranayama::PlayCue(const QString& fileName)
{
    MediaPlayer1->setEnabled(true);
    MediaPlayer1->setFileName(fileName);
    try {
        MediaPlayer1->open();
    } catch (const EMCIDeviceError& error) {
        // A cue that cannot sound must neither stop the practice nor repeat its message every
        // tick: it is reported once per practice, after the tick, and the practice goes on.
        if (!m_cueFailureReported) {
            m_cueFailureReported = true;
            QTimer::singleShot(0, this,
                               [message = error.message()] { platform::reportError(message); });
        }
        MediaPlayer1->setEnabled(false);
        return;
    }
    MediaPlayer1->play();
    MediaPlayer1->setEnabled(false);
}

} // namespace tolvane
