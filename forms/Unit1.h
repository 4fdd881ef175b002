#pragma once

#include "forms/PracticeClock.h"
#include "platform/Clock.h"
#include "practice/Phases.h"
#include "practice/Progression.h"
#include "practice/TickPace.h"
#include "practicelog/LogFile.h"
#include "practicelog/Recorder.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

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
    // The period of the practice ticks that follow a change: the shortest timer period.
    static constexpr int tickPeriodMs = tolvane::tickPeriodMs;

    // The practices run on clock and are added to the practice log at logPath.
    explicit TPranayama(platform::Clock& clock = platform::systemClock(),
                        QString logPath = practicelog::defaultLogPath(), QWidget* parent = nullptr);
    ~TPranayama() override;

    // Start-up and shutdown.
    void FormCreate();
    void FormClose();
    void Exit1Click();
    // The session or a signal asks the program to end: it closes as Exit does, without waiting
    // for the user; before the window is shown, it only ends.
    void endSession();

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
    void Reminder1Click();
    void About1Click();
    void Help2Click();

    // The practice log window.
    void PracticeLog1Click();

    // A reminder's Start: brings the window to the front and starts that practice, unless a
    // practice runs or a dialog is open.
    void ReminderStart(practicelog::Exercise exercise);

    // Plays one sound cue, cutting off the one before.
    void PlayCue(const QString& fileName);

    // The splash shown by FormCreate; tests replace it to start without the three-second wait.
    void setSplashScreen(std::function<void(QWidget* owner)> show);

    const PracticeClock& practiceClock() const { return m_practice; }
    const KevaliState& kevaliState() const { return m_kevali; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    void connectPracticeTimer(QTimer* timer, void (TPranayama::*tick)());
    double totalTimeOf(const QTimer* timer) const;
    void startPracticeTimer(QTimer* timer);
    int msUntilDisplayTurns(double now, double totalTime) const;
    std::int32_t shortestPhaseSeconds(const QTimer* timer) const;
    bool tickLeftWork(const QTimer* timer) const;
    bool cueAtNextTurn() const;

    // What differs between the practices' ticks; practiceTick holds what they share.
    struct PracticeRules {
        bool& delay;                    // a delay still to come
        const double& totalTime;        // days
        void (TPranayama::*lengthen)(); // first thing of a tick, if given
        std::int32_t (TPranayama::*phaseLength)() const;
        Phase (TPranayama::*phase)() const;
        void (TPranayama::*advance)();
        void (TPranayama::*end)();
        bool countsBlocks; // a round counts towards the Kevali block
    };
    void practiceTick(const PracticeRules& rules);
    void beginPhase(const PracticeRules& rules);
    static QString phaseName(Phase phase);

    Phase pranayamaPhase() const;
    std::int32_t pranayamaPhaseLength() const;
    void advancePranayamaPhase();
    void endPranayama();
    void lengthenKevaliBreath();
    std::int32_t kevaliBreath() const;
    Phase kevaliPhase() const;
    void advanceKevaliPhase();
    void endKevali();

    // Every practice goes to the practice log when it ends (Unit1Log.cpp).
    void logPracticeStart(practicelog::Exercise exercise);
    void logPracticeEnd(practicelog::Ended how, bool ratingFollows = false);
    void logRating(std::optional<Rating> rating);
    void writePracticeLog();
    void recordPracticeAtExit();

    std::unique_ptr<Ui::TPranayama> ui;
    platform::Clock& m_clock;
    PracticeClock m_practice;
    bool m_delaySetting = false; // blDelay as the Pranayama practice loaded it
    KevaliState m_kevali;
    QTimer* Timer1;
    QTimer* Timer2;
    TMediaPlayer* MediaPlayer1;
    TdxfBackGround* dxfBackGround1;
    TLMDBitmapList* LMDBitmapList1;
    std::function<void(QWidget*)> m_showSplash;
    bool m_cueFailureReported = false;
    practicelog::Recorder m_practiceLog;
    QString m_closeFailure;       // why the last close could not store the position
    bool m_sessionEnding = false; // the session, or something else, asks the program to quit
};

} // namespace tolvane
