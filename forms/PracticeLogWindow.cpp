#include "forms/PracticeLogWindow.h"

#include "forms/PracticeCharts.h"
#include "forms/PracticeTable.h"
#include "platform/WindowFrame.h"
#include "practicelog/LogFile.h"
#include "practicelog/Progress.h"
#include "settings/SettingsStore.h"
#include "ui_PracticeLogWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QtConcurrent>

#include <utility>

namespace tolvane {

using namespace practicelog;

namespace {

// Rows measured for the widths of the columns; the rest are alike.
constexpr int rowsMeasured = 200;

std::function<QDate()>& todaySource()
{
    static std::function<QDate()> source = &QDate::currentDate;
    return source;
}

QString nextLengthening()
{
    const auto increment = store::readStoredIncrement();
    if (!increment)
        return QCoreApplication::translate(
            "PracticeLogWindow", "Next lengthening: unknown, as the settings cannot be read");
    if (!increment->on)
        return QCoreApplication::translate("PracticeLogWindow",
                                           "Next lengthening: automatic increment off");
    if (const auto left = easyPracticesBeforeLengthening(increment->easyCount, increment->period))
        return QCoreApplication::translate("PracticeLogWindow", "Next lengthening: after %1")
            .arg(counted(*left,
                         QCoreApplication::translate("PracticeLogWindow", "more easy practice"),
                         QCoreApplication::translate("PracticeLogWindow", "more easy practices")));
    return QCoreApplication::translate(
        "PracticeLogWindow",
        "Next lengthening: none until the count of easy practices starts again");
}

// What the window says in place of the charts and the table.
QString withoutPractices(const LogRead& read, const QString& path)
{
    if (!read.failure.isEmpty())
        return read.failure + u'.';
    if (read.log.unreadableLines > 0)
        return QCoreApplication::translate(
                   "PracticeLogWindow",
                   "No line of the practice log \"%1\" could be read as a practice. "
                   "The file is kept as it is, and new practices are added to it.")
            .arg(path);
    return QCoreApplication::translate(
               "PracticeLogWindow",
               "No practice has been recorded yet.\n\nStart one with Action → Start "
               "Pranayama or Action → Start Kevali, or with the lime or the yellow > "
               "button. Each practice is added here when it ends, when it is stopped, "
               "or when Tolvane is closed during it.\n\nThe log is kept in \"%1\", "
               "which spreadsheets open.")
        .arg(path);
}

// This week, the days in a row and the next lengthening, then what of the log is not shown.
QString summary(const LogRead& read, const std::vector<PracticeEntry>& entries,
                const WeekTotal& thisWeek, std::size_t waiting)
{
    const int lines = read.log.unreadableLines;
    const int days = daysInARow(entries, todaySource()());
    const auto practices = [](qsizetype count) {
        return counted(count, QCoreApplication::translate("PracticeLogWindow", "practice"),
                       QCoreApplication::translate("PracticeLogWindow", "practices"));
    };
    QString text =
        thisWeek.practices == 0
            ? QCoreApplication::translate("PracticeLogWindow", "This week: no practice yet")
            : QCoreApplication::translate("PracticeLogWindow", "This week: %1, %2")
                  .arg(practices(thisWeek.practices),
                       minutesText(thisWeek.pranayamaMinutes + thisWeek.kevaliMinutes));
    // A log that has lapsed says since when.
    if (thisWeek.practices == 0 && !entries.empty())
        text += QCoreApplication::translate("PracticeLogWindow", ", the last on %1")
                    .arg(longDate(entries.back().started.date));
    text +=
        u" · " +
        (days == 0
             ? QCoreApplication::translate("PracticeLogWindow", "no practice yesterday or today")
             : counted(days, QCoreApplication::translate("PracticeLogWindow", "day in a row"),
                       QCoreApplication::translate("PracticeLogWindow", "days in a row")));
    text += u" · " + nextLengthening();
    if (waiting > 0)
        text +=
            u'\n' +
            QCoreApplication::translate("PracticeLogWindow", "%1 waiting to be written to the log.")
                .arg(counted(qsizetype(waiting),
                             QCoreApplication::translate("PracticeLogWindow", "practice is"),
                             QCoreApplication::translate("PracticeLogWindow", "practices are")));
    if (lines > 0) {
        const QString lineCount =
            counted(lines, QCoreApplication::translate("PracticeLogWindow", "line of the log"),
                    QCoreApplication::translate("PracticeLogWindow", "lines of the log"));
        text += u'\n' +
                (lines == 1 ? QCoreApplication::translate("PracticeLogWindow",
                                                          "%1 could not be read and is left out.")
                            : QCoreApplication::translate("PracticeLogWindow",
                                                          "%1 could not be read and are left out."))
                    .arg(lineCount);
    }
    if (read.bytesNotRead > 0)
        text += u'\n' + QCoreApplication::translate(
                            "PracticeLogWindow",
                            "Shown are the last %1; the first %2 of the log are not read.")
                            .arg(practices(qsizetype(read.log.entries.size())),
                                 QLocale().formattedDataSize(read.bytesNotRead));
    return text;
}

} // namespace

PracticeLogWindow::PracticeLogWindow(QWidget* owner, QString path)
    : QWidget(owner, Qt::Window)
    , ui(std::make_unique<Ui::PracticeLogWindow>())
    , m_practices(new PracticeTableModel(this))
    , m_reading(new QFutureWatcher<LogRead>(this))
    , m_path(std::move(path))
{
    setAttribute(Qt::WA_DeleteOnClose);
    ui->setupUi(this);
    m_roundChart = std::make_unique<RoundLengthChart>(ui->RoundChart);
    m_weekChart = std::make_unique<WeeklyMinutesChart>(ui->WeekChart);
    ui->PracticeTable->setModel(m_practices);
    ui->PracticeTable->verticalHeader()->hide();
    ui->PracticeTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ui->PracticeTable->horizontalHeader()->setResizeContentsPrecision(rowsMeasured);
    ui->PracticeTable->installEventFilter(this);
    ui->Summary->setText(tr("Reading the practice log …"));
    // The summary first: a screen reader starts with what the log says in a sentence.
    ui->Summary->setFocus();
    ui->Pages->setCurrentWidget(ui->EmptyPage);

    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_reading, &QFutureWatcher<LogRead>::finished, this, [this] {
        showLog(m_reading->result());
        if (std::exchange(m_readAgain, false))
            reload();
    });
    reload();
}

PracticeLogWindow::~PracticeLogWindow() = default;

PracticeLogWindow* PracticeLogWindow::openFor(QWidget* owner)
{
    for (auto* log : owner->findChildren<PracticeLogWindow*>(Qt::FindDirectChildrenOnly)) {
        // A closed window is hidden and only waits to be deleted.
        if (!log->isHidden())
            return log;
    }
    return nullptr;
}

PracticeLogWindow* PracticeLogWindow::showFor(QWidget* owner, const QString& path)
{
    PracticeLogWindow* log = openFor(owner);
    if (!log) {
        log = new PracticeLogWindow(owner, path);
        platform::placeBesideOwner(*log);
    }
    log->setWindowState(log->windowState() & ~Qt::WindowMinimized);
    log->show();
    log->raise();
    log->activateWindow();
    return log;
}

void PracticeLogWindow::reload()
{
    if (m_reading->isRunning()) {
        m_readAgain = true;
        return;
    }
    // A practice dated after tomorrow, wherever on earth it was, is none that was practised.
    m_reading->setFuture(QtConcurrent::run([path = m_path, latest = todaySource()().addDays(1)] {
        return readLog(path, readBound, latest);
    }));
}

void PracticeLogWindow::setToday(std::function<QDate()> today)
{
    todaySource() = std::move(today);
}

void PracticeLogWindow::showWaiting(std::vector<PracticeEntry> waiting)
{
    m_waiting = std::move(waiting);
}

void PracticeLogWindow::showLog(const LogRead& read)
{
    // In time order, whatever the order of the file; the practices still to be written with them.
    std::vector<PracticeEntry> entries = read.log.entries;
    entries.insert(entries.end(), m_waiting.cbegin(), m_waiting.cend());
    std::stable_sort(entries.begin(), entries.end(),
                     [](const PracticeEntry& a, const PracticeEntry& b) {
                         return a.started.msecsSinceEpoch() < b.started.msecsSinceEpoch();
                     });
    const std::vector<WeekTotal> weeks =
        weeklyTotals(entries, todaySource()(), QLocale().firstDayOfWeek(), weeksShown);
    if (entries.empty()) {
        ui->EmptyText->setText(withoutPractices(read, m_path));
        ui->Pages->setCurrentWidget(ui->EmptyPage);
    } else {
        // Shown first, so that the charts measure themselves in the page they are drawn in.
        ui->Pages->setCurrentWidget(ui->LogPage);
        m_roundChart->show(entries);
        const QDate first = std::min_element(entries.cbegin(), entries.cend(),
                                             [](const PracticeEntry& a, const PracticeEntry& b) {
                                                 return a.started.date < b.started.date;
                                             })
                                ->started.date;
        m_weekChart->show(weeks, weeks.front().start > first);
        m_practices->setEntries(entries);
        ui->PracticeTable->resizeColumnsToContents();
        ui->PracticeTable->setCurrentIndex(m_practices->index(0, 0));
    }
    ui->Summary->setText(summary(read, entries, weeks.back(), m_waiting.size()));
    Q_EMIT shown();
}

void PracticeLogWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc reaches the window when no part of it takes it, as in a dialog.
    if (event->matches(QKeySequence::Cancel))
        close();
    else
        QWidget::keyPressEvent(event);
}

bool PracticeLogWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->PracticeTable && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copySelectedPractices();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The selected rows with the column titles, tab-separated, as spreadsheets paste them: numbers
// as numbers, with their units in the titles, and the date and time as every spreadsheet reads
// them.
void PracticeLogWindow::copySelectedPractices() const
{
    QModelIndexList rows = ui->PracticeTable->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QString text = m_practices->copiedTitles().join(u'\t') + u'\n';
    for (const QModelIndex& row : rows)
        text += m_practices->copiedRow(row.row()).join(u'\t') + u'\n';
    QApplication::clipboard()->setText(text);
}

} // namespace tolvane
