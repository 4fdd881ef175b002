#pragma once

#include "forms/Unit1.h"
#include "platform/Application.h"
#include "platform/ErrorDispatch.h"
#include "settings/SettingsRecord.h"
#include "tests/support/FakeClock.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"
#include "widgets/MediaPlayer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <memory>

namespace tolvane::test {

// A main window on a fake clock with its own settings file, started in the folder of the cues;
// failures shown to the user are collected instead of opening message boxes.
class MainWindowFixture : public testing::Test {
protected:
    void SetUp() override
    {
        QDir::setCurrent(QStringLiteral(TOLVANE_CUES_DIR));
        settings = {};
        platform::clearQuitRequest();
        platform::setApplicationTitle(QStringLiteral("Tolvane"));
        platform::setErrorReporter([this](const QString& text) { errors << text; });
        window = std::make_unique<TPranayama>(clock, logPath());
        window->setSplashScreen([](QWidget*) {});
    }

    void TearDown() override
    {
        window.reset();
        platform::setErrorReporter({});
        platform::clearQuitRequest();
        QDir::setCurrent(m_previousDir);
    }

    // The text a display or panel shows (both kinds publish it as their "text" property).
    QString text(const char* name) const
    {
        const auto* widget = window->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget ? widget->property("text").toString() : QString();
    }
    // The practice log the window writes, in the test's own folder.
    QString logPath() const
    {
        return config.dataHome() + QStringLiteral("/tolvane/practice-log.csv");
    }
    QString panel(int index) const { return text(index == 0 ? "StatusPanel0" : "StatusPanel1"); }
    bool enabled(const char* name) const
    {
        const QString objectName = QString::fromLatin1(name);
        if (auto* widget = window->findChild<QWidget*>(objectName))
            return widget->isEnabled();
        return window->findChild<QAction*>(objectName)->isEnabled();
    }
    // The colour of the stop button's caption, as it is painted.
    QColor stopCaption() const
    {
        return window->findChild<QWidget*>(QStringLiteral("StopProg"))
            ->property("captionColor")
            .value<QColor>();
    }
    QTimer* timer1() const { return window->findChild<QTimer*>(QStringLiteral("Timer1")); }
    // The cue that last began to play; empty when its file could not be opened or played.
    QString lastCue() const
    {
        const auto* player = window->findChild<TMediaPlayer*>(QStringLiteral("MediaPlayer1"));
        return player->isOpen() && player->lastError().isEmpty() ? player->fileName() : QString();
    }

    void writeSettings(const QByteArray& values)
    {
        config.writeRegistryFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n" + values);
    }

    TempConfig config;
    FakeClock clock;
    QStringList errors;
    std::unique_ptr<TPranayama> window;

private:
    QString m_previousDir = QDir::currentPath();
};

} // namespace tolvane::test
