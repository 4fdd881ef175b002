// Tolvane: a timer for yogic breathing practice.
#include "forms/Unit1.h"
#include "platform/Application.h"
#include "platform/ApplicationWindow.h"
#include "platform/ErrorDispatch.h"
#include "platform/Fonts.h"
#include "platform/ProcessEnd.h"
#include "platform/WindowSystem.h"
#include "reminder/ReminderRun.h"
#include "reminder/RunningInstance.h"
#include "reminder/SessionBus.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

#include <cstring>
#include <memory>
#include <optional>

namespace {

using namespace tolvane;

// The program as a person starts it; with a practice, as a reminder's Start opens it.
int runTolvane(std::optional<practicelog::Exercise> practice = std::nullopt)
{
    platform::roomForRepaintsInTheConnection();
    platform::setApplicationTitle(QStringLiteral("Tolvane"));
    platform::setApplicationHelpFile(QStringLiteral("TOLVANE.HLP"));
    platform::registerFormFont();
    platform::createApplicationWindow(platform::applicationTitle());

    TPranayama mainWindow;
    // A logout, a shutdown or a closed terminal closes the program as Exit does.
    platform::onEndRequest(&mainWindow, [&mainWindow] { mainWindow.endSession(); });
    platform::dispatch([&] { mainWindow.FormCreate(); });
    // Another instance runs: this one ends without showing its window or storing anything.
    if (platform::quitRequested()) {
        if (practice)
            QTextStream(stderr) << "Tolvane's reminder found a running Tolvane that it cannot "
                                   "reach: start the practice there."
                                << Qt::endl;
        return platform::quitExitCode();
    }

    reminder::offerToReminders(&mainWindow, [&mainWindow](practicelog::Exercise exercise) {
        mainWindow.ReminderStart(exercise);
    });
    mainWindow.show();
    if (practice)
        QTimer::singleShot(0, &mainWindow,
                           [&mainWindow, practice] { mainWindow.ReminderStart(*practice); });
    return QApplication::exec();
}

// How long Later puts the reminder off; the tests shorten it.
std::chrono::milliseconds laterInterval()
{
    bool isNumber = false;
    const int seconds = qEnvironmentVariableIntValue("TOLVANE_REMINDER_LATER_SECONDS", &isNumber);
    return isNumber && seconds > 0 ? std::chrono::seconds(seconds)
                                   : reminder::ReminderRun::laterInterval;
}

// "tolvane --remind", as the reminder's timer starts it: the notification, and Tolvane opened
// when its Start is chosen while no Tolvane runs. Without a display it can only remind.
int remind(int& argc, char** argv)
{
    const bool display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const std::unique_ptr<QCoreApplication> app =
        display ? std::make_unique<QApplication>(argc, argv)
                : std::make_unique<QCoreApplication>(argc, argv);
    const auto bus = reminder::sessionBus();
    if (!bus) {
        QTextStream(stderr) << "Tolvane's reminder needs a D-Bus session bus with a notification "
                               "service, and there is no session bus."
                            << Qt::endl;
        return 1;
    }
    reminder::ReminderRun run(*bus, display, laterInterval());
    std::optional<practicelog::Exercise> practice;
    QObject::connect(&run, &reminder::ReminderRun::finished, app.get(),
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    QObject::connect(&run, &reminder::ReminderRun::openTolvane, app.get(),
                     [&practice](practicelog::Exercise exercise) {
                         practice = exercise;
                         QCoreApplication::exit(0);
                     });
    QTimer::singleShot(0, &run, &reminder::ReminderRun::remind);
    const int exitCode = QCoreApplication::exec();
    return practice ? runTolvane(practice) : exitCode;
}

} // namespace

int main(int argc, char** argv)
{
    tolvane::platform::preferX11InWaylandSession();
    tolvane::platform::sendRepaintsInTheRequests();
    if (argc == 2 && std::strcmp(argv[1], "--remind") == 0)
        return remind(argc, argv);
    QApplication app(argc, argv);
    return runTolvane();
}
