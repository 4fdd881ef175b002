#pragma once

#include "practicelog/PracticeEntry.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

template <typename T> class QFutureWatcher;

namespace Ui {
class PracticeLogWindow;
}

namespace tolvane {

namespace practicelog {
struct LogRead;
}

class PracticeTableModel;
class RoundLengthChart;
class WeeklyMinutesChart;

// The practice log window: the Pranayama round over the dates, the minutes practised per week, a
// table of the practices and a summary of the week, the days in a row and the next lengthening.
// A window of its own, owned by the main window without blocking it, destroyed when it closes.
class PracticeLogWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(PracticeLogWindow)

public:
    // The most of a log's end that is read: some 28 000 practices, shown in well under a second.
    static constexpr qint64 readBound = 4 * 1024 * 1024;
    // The most weeks the minutes are shown for.
    static constexpr int weeksShown = 12;

    // Shows the log at path.
    PracticeLogWindow(QWidget* owner, QString path);
    ~PracticeLogWindow() override;

    // Opens the log window of owner on the log at path, or brings the one it has open to the
    // front.
    static PracticeLogWindow* showFor(QWidget* owner, const QString& path);
    // The log window that owner has open, if any.
    static PracticeLogWindow* openFor(QWidget* owner);

    // Reads the log again, away from the user-interface thread, and shows it once read.
    void reload();
    // The practices that have ended and wait to be written to the log, shown with it and counted.
    void showWaiting(std::vector<practicelog::PracticeEntry> waiting);

    // The day the windows count the weeks and days from: today, unless tests fix another.
    static void setToday(std::function<QDate()> today);

Q_SIGNALS:
    // What the log held when it was last read is on screen.
    void shown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLog(const practicelog::LogRead& read);
    void copySelectedPractices() const;

    std::unique_ptr<Ui::PracticeLogWindow> ui;
    std::unique_ptr<RoundLengthChart> m_roundChart;
    std::unique_ptr<WeeklyMinutesChart> m_weekChart;
    PracticeTableModel* m_practices;
    QFutureWatcher<practicelog::LogRead>* m_reading;
    QString m_path;
    bool m_readAgain = false;
    std::vector<practicelog::PracticeEntry> m_waiting;
};

} // namespace tolvane
