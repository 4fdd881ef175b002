#include "platform/Application.h"

#include <QCoreApplication>
#include <QThread>

namespace tolvane::platform {

namespace {

struct ApplicationState {
    QString title;
    QString helpFile;
    bool quitRequested = false;
    int exitCode = 0;
};

ApplicationState& state()
{
    static ApplicationState instance;
    return instance;
}

} // namespace

QString applicationTitle()
{
    return state().title;
}
void setApplicationTitle(const QString& title)
{
    state().title = title;
}
QString applicationHelpFile()
{
    return state().helpFile;
}
void setApplicationHelpFile(const QString& fileName)
{
    state().helpFile = fileName;
}

void postQuitMessage(int exitCode)
{
    state().quitRequested = true;
    state().exitCode = exitCode;
    // Ends every event loop that runs now, a modal one among them; before the main loop runs,
    // the flag alone tells the entry point not to start it.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(exitCode);
}

bool quitRequested()
{
    return state().quitRequested;
}
int quitExitCode()
{
    return state().exitCode;
}

void clearQuitRequest()
{
    state().quitRequested = false;
    state().exitCode = 0;
}

} // namespace tolvane::platform
