#pragma once

#include "forms/PracticeClock.h"
#include "platform/Clock.h"
#include "practicelog/Recorder.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QTimer;

namespace Ui {
class TPranayama;
}

namespace tolvane {

class TMediaPlayer;
class TdxfBackGround;
class TLMDBitmapList;
class TLMDMMButton;

// The main window: the practice displays, the commands, and both practices' handlers.
class TPranayama : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY(TPranayama)

public:
    // The period of the practice ticks near a change of the displays: the shortest timer period.
    static constexpr int tickPeriodMs = 1;
    // Ticks that follow at once a tick that changed something, in a row at most.
    static constexpr int maxTicksAtOnce = 4;
    // How long before a display turns the practice timer wakes and warms up its paint.
    static constexpr int warmUpLeadMs = 10;

    explicit TPranayama(platform::Clock& clock = platform::systemClock(),
                        QWidget* parent = nullptr);
    ~TPranayama() override;

    // Start-up and shutdown.
    void FormCreate();
    void FormClose();
    void Exit1Click();

    // The Pranayama practice; Stop serves both practices.
    void Beginbreathing1Click();
    void Timer1Timer();
    void Stop1Click();

    // The Kevali practice.
    void Kevali1Click();
    void Timer2Timer();

    // Dialogs and help.
    void Pranayamatype1Click();
    void KevaliType1Click();
    void About1Click();
    void Help2Click();

    // The practice log window.
    void PracticeLog1Click();

    // Plays one sound cue, cutting off the one before.
    void PlayCue(const QString& fileName);

    // The splash shown by FormCreate; tests replace it to start without the three-second wait.
    void setSplashScreen(std::function<void(QWidget* owner)> show);

    const PracticeClock& practiceClock() const { return m_practice; }
    const KevaliState& kevaliState() const { return m_kevali; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setStartCommandsEnabled(bool enabled);
    void setRunningCommands(const QColor& stopCaption);
    void setIdleCommands();
    void setStatusPanel(int panel, const QString& text);
    void showPhaseTimes(double totalTime);
    bool phaseTimeExceeded() const;
    void restartPhase();
    void showPracticeEnd();
    void prepareCuesSoon();
    void connectPracticeTimer(QTimer* timer, void (TPranayama::*tick)(), const double& totalTime);
    void startPracticeTimer(QTimer* timer);
    struct TickState;
    TickState tickState() const;
    int msUntilDisplayTurns(double totalTime) const;
    void warmUpDisplays();

    void beginPranayamaPhase();
    void advancePranayamaPhase();
    void endPranayama();
    void beginKevaliPhase();
    void endKevali();

    // Every practice goes to the practice log when it ends (Unit1Log.cpp).
    void logPracticeStart(practicelog::Exercise exercise);
    void logPracticeEnd(practicelog::Ended how, bool ratingFollows = false);
    void logRating(int answer);
    void writePracticeLog();

    std::unique_ptr<Ui::TPranayama> ui;
    platform::Clock& m_clock;
    PracticeClock m_practice;
    KevaliState m_kevali;
    QTimer* Timer1;
    QTimer* Timer2;
    TMediaPlayer* MediaPlayer1;
    TdxfBackGround* dxfBackGround1;
    TLMDBitmapList* LMDBitmapList1;
    std::function<void(QWidget*)> m_showSplash;
    bool m_cueFailureReported = false;
    practicelog::Recorder m_practiceLog;
    // Where the practice timer stands between ticks.
    struct PracticePace {
        int ticksAtOnce = 0; // ticks in a row that followed a change at once
        bool warm = false;   // painted since the timer last slept for long
    } m_pace;
};

} // namespace tolvane
