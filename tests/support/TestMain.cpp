// Every test binary runs inside one QApplication on the offscreen platform with silent audio.
#include "platform/Fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    tolvane::platform::registerFormFont();
    return RUN_ALL_TESTS();
}
