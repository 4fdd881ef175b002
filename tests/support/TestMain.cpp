// Every test binary runs inside one QApplication on the offscreen platform with silent audio.
// Without a runtime folder the single-instance lock lands in each test's own config folder, so
// test processes running side by side never take each other for a running program.
#include "platform/Fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    qunsetenv("XDG_RUNTIME_DIR");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    tolvane::platform::registerFormFont();
    return RUN_ALL_TESTS();
}
