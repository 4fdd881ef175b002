#pragma once

#include <QString>

namespace tolvane::platform {

// The application's title: the caption of message boxes and the text the single-instance rule
// looks for among the top-level windows.
QString applicationTitle();
void setApplicationTitle(const QString& title);

// The help file handed to the help viewer, a bare file name.
QString applicationHelpFile();
void setApplicationHelpFile(const QString& fileName);

// Asks the program to end. The request outlives event loops that are not running yet, so a
// start-up that finds another instance still ends once the start-up is over.
void postQuitMessage(int exitCode);
bool quitRequested();
int quitExitCode();
void clearQuitRequest();

} // namespace tolvane::platform
