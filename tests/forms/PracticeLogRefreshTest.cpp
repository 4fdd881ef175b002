// An open log window follows the practices: one that ends appears in it without being asked for.
#include "forms/PracticeLogWindow.h"
#include "tests/forms/PracticeRunner.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTableView>

using namespace tolvane;

namespace {

using PracticeLogRefreshTest = test::PracticeFixture;

TEST_F(PracticeLogRefreshTest, AnOpenLogWindowShowsAPracticeWhenItEnds)
{
    // Rounds of Puraka 1 s and Rechaka 2 s, 0:00:06 in all.
    writeSettings("\"intPrTotalTime\"=dword:00000002\n\"intPrInhale\"=dword:00000001\n"
                  "\"intPrExhale\"=dword:00000002\n\"blCheckOne\"=dword:00000000\n"
                  "\"tTotalTime\"=hex:df,bc,9a,78,56,34,12,3f\n");
    window->FormCreate();
    window->PracticeLog1Click();
    auto* logWindow = PracticeLogWindow::openFor(window.get());
    QSignalSpy shown(logWindow, &PracticeLogWindow::shown);
    ASSERT_TRUE(shown.wait(10'000));
    const auto* summary = logWindow->findChild<QLabel*>(QStringLiteral("Summary"));
    const auto* table = logWindow->findChild<QTableView*>(QStringLiteral("PracticeTable"));
    EXPECT_TRUE(summary->text().startsWith(u"This week: no practice yet"))
        << summary->text().toStdString();
    EXPECT_EQ(table->model()->rowCount(), 0);

    startPranayama();
    runFor(20'000);
    ASSERT_FALSE(running());
    ASSERT_TRUE(shown.wait(10'000));
    EXPECT_TRUE(summary->text().startsWith(u"This week: 1 practice,"))
        << summary->text().toStdString();
    ASSERT_EQ(table->model()->rowCount(), 1);
    EXPECT_EQ(table->model()->index(0, 1).data().toString(), QStringLiteral("Pranayama"));
}

} // namespace
