#include "forms/Unit1.h"

#include "forms/Unit5.h"
#include "platform/Application.h"
#include "platform/ErrorDispatch.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit1.h"
#include "widgets/MediaPlayer.h"

#include <QCloseEvent>
#include <QLayout>
#include <QTimer>

namespace tolvane {

namespace {

const QColor lime(0, 255, 0);
const QColor yellow(255, 255, 0);

} // namespace

TPranayama::TPranayama(platform::Clock& clock, QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TPranayama>())
    , m_clock(clock)
    , Timer1(new QTimer(this))
    , MediaPlayer1(new TMediaPlayer(this))
    , m_showSplash([](QWidget* owner) {
        TBeginning splash(owner);
        splash.exec();
    })
    , m_stopCaptionColour(lime)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    Timer1->setTimerType(Qt::PreciseTimer);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));

    using platform::handler;
    connect(Timer1, &QTimer::timeout, this, handler(this, &TPranayama::Timer1Timer));
    connect(ui->PranStart, &QPushButton::clicked, this,
            handler(this, &TPranayama::Beginbreathing1Click));
    connect(ui->BeginBreathing1, &QAction::triggered, this,
            handler(this, &TPranayama::Beginbreathing1Click));
    connect(ui->StopProg, &QPushButton::clicked, this, handler(this, &TPranayama::Stop1Click));
    connect(ui->Stop1, &QAction::triggered, this, handler(this, &TPranayama::Stop1Click));
    connect(ui->LMDMMButton6, &QPushButton::clicked, this, handler(this, &TPranayama::Exit1Click));
    connect(ui->Exit1, &QAction::triggered, this, handler(this, &TPranayama::Exit1Click));
}

TPranayama::~TPranayama() = default;

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

    store::startupLoad();

    move(settings.intLeft, settings.intTop);

    m_practice.intRound = 0;
    Timer1->stop();
    ui->StopProg->setEnabled(false);
    ui->Stop1->setEnabled(false);
}

void TPranayama::FormClose()
{
    settings.intTop = y();
    settings.intLeft = x();
    store::writeWindowPosition();
    platform::postQuitMessage(0);
}

void TPranayama::closeEvent(QCloseEvent* event)
{
    bool closed = false;
    platform::dispatch([&] {
        FormClose();
        closed = true;
    });
    // A position that cannot be stored keeps the window open, so the user can try again.
    if (closed)
        event->accept();
    else
        event->ignore();
}

void TPranayama::Exit1Click() { close(); }

void TPranayama::setRunningCommands(Practice practice)
{
    ui->PranStart->setEnabled(false);
    ui->BeginBreathing1->setEnabled(false);
    ui->Stop1->setEnabled(true);
    ui->StopProg->setEnabled(true);
    setStopCaptionColour(practice == Practice::Pranayama ? lime : yellow);
}

void TPranayama::setIdleCommands()
{
    ui->PranStart->setEnabled(true);
    ui->BeginBreathing1->setEnabled(true);
    ui->Stop1->setEnabled(false);
    ui->StopProg->setEnabled(false);
}

void TPranayama::setStopCaptionColour(const QColor& colour)
{
    m_stopCaptionColour = colour;
    ui->StopProg->setStyleSheet(
        QStringLiteral("color: %1; font: bold 13px \"MS Sans Serif\";").arg(colour.name()));
}

QColor TPranayama::stopCaptionColour() const { return m_stopCaptionColour; }

void TPranayama::setDisplay(QLabel* display, const QString& text)
{
    if (display->text() != text)
        display->setText(text);
}

void TPranayama::setStatusPanel(int panel, const QString& text)
{
    setDisplay(panel == 0 ? ui->StatusPanel0 : ui->StatusPanel1, text);
}

void TPranayama::PlayCue(const QString& fileName)
{
    MediaPlayer1->setEnabled(true);
    MediaPlayer1->setFileName(fileName);
    try {
        MediaPlayer1->open();
    } catch (const EMCIDeviceError& error) {
        // A cue that cannot sound must not stop the practice nor repeat its message every
        // tick: it is reported once per practice, after the tick, and the practice goes on.
        if (!m_cueFailureReported) {
            m_cueFailureReported = true;
            QTimer::singleShot(0, this, [message = error.message()] {
                platform::reportError(message);
            });
        }
        MediaPlayer1->setEnabled(false);
        return;
    }
    MediaPlayer1->play();
    MediaPlayer1->setEnabled(false);
}

} // namespace tolvane
