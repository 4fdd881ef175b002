// Tolvane: a timer for yogic breathing practice.
#include "forms/Unit1.h"
#include "platform/Application.h"
#include "platform/ApplicationWindow.h"
#include "platform/ErrorDispatch.h"
#include "platform/Fonts.h"
#include "platform/WindowSystem.h"

#include <QApplication>

int main(int argc, char** argv)
{
    tolvane::platform::preferX11InWaylandSession();
    tolvane::platform::sendRepaintsInTheRequests();
    QApplication app(argc, argv);
    using namespace tolvane;
    platform::setApplicationTitle(QStringLiteral("Tolvane"));
    platform::setApplicationHelpFile(QStringLiteral("TOLVANE.HLP"));
    platform::registerFormFont();
    platform::createApplicationWindow(platform::applicationTitle());

    TPranayama mainWindow;
    platform::dispatch([&] { mainWindow.FormCreate(); });
    // Another instance runs: this one ends without showing its window or storing anything.
    if (platform::quitRequested())
        return platform::quitExitCode();

    mainWindow.show();
    return app.exec();
}
