#include "forms/Unit8.h"
#include "reminder/UserTimer.h"
#include "tests/forms/DialogFixture.h"
#include "tests/support/RequireTool.h"
#include "tests/support/Typing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

using namespace tolvane;

namespace {

const QString notifications = QStringLiteral("org.freedesktop.Notifications");

// A session bus of the test's own, on which the test can play the notification service's name.
QProcess* privateBus = nullptr;

QByteArray fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ReminderDialogTest : public test::DialogTest {
protected:
    static void SetUpTestSuite()
    {
        // The session's own bus without its service folders, so no installed notification
        // daemon starts on it.
        static QTemporaryDir folder;
        QFile stock(QStringLiteral("/usr/share/dbus-1/session.conf"));
        QFile config(folder.filePath(QStringLiteral("bus.conf")));
        if (stock.open(QIODevice::ReadOnly) && config.open(QIODevice::WriteOnly))
            config.write(stock.readAll().replace("<standard_session_servicedirs />", ""));
        config.close();
        privateBus = new QProcess;
        privateBus->start(QStringLiteral("dbus-daemon"),
                          {QStringLiteral("--config-file=") + config.fileName(),
                           QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (privateBus->waitForReadyRead(10000))
            qputenv("DBUS_SESSION_BUS_ADDRESS", privateBus->readLine().trimmed());
    }
    static void TearDownTestSuite()
    {
        privateBus->kill();
        privateBus->waitForFinished();
        delete privateBus;
    }

    void SetUp() override
    {
        TOLVANE_REQUIRE(!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"), "dbus-daemon");
        test::DialogTest::SetUp();
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin.path()) + ':' + m_path);
    }
    void TearDown() override
    {
        dialog.reset();
        notificationService(false);
        qputenv("PATH", m_path);
        test::DialogTest::TearDown();
    }

    // A systemctl that notes its arguments, and fails as one without a user session does.
    void systemctl(bool works) const
    {
        QFile script(m_bin.filePath(QStringLiteral("systemctl")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\necho \"$*\" >>'" + QFile::encodeName(calls()) + "'\n" +
            (works ? "" : "echo 'Failed to connect to bus: No medium found' >&2\nexit 1\n"));
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    QString calls() const { return m_bin.filePath(QStringLiteral("calls")); }

    static void notificationService(bool runs)
    {
        QDBusConnection bus = QDBusConnection::connectToBus(
            qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("notifier"));
        runs ? bus.registerService(notifications) : bus.unregisterService(notifications);
    }

    void open()
    {
        dialog = std::make_unique<TReminderSettings>();
        showActive(*dialog);
    }
    void key(Qt::Key key, int times = 1) const
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(QApplication::focusWidget(), key);
    }

    // From OK, as the dialog opens: Tab to the switch and turn it on, type the times, choose
    // Kevali and leave Saturday and Sunday out, then Enter.
    void switchOnWith(const QString& times)
    {
        open();
        key(Qt::Key_Tab, 2);
        key(Qt::Key_Space);
        test::typeInto(dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1")), times);
        key(Qt::Key_Tab);
        key(Qt::Key_Down);
        key(Qt::Key_Tab, 6);
        key(Qt::Key_Space);
        key(Qt::Key_Tab);
        key(Qt::Key_Space);
        key(Qt::Key_Return);
    }

    reminder::UserTimer timer;
    std::unique_ptr<TReminderSettings> dialog;

private:
    QTemporaryDir m_bin;
    QByteArray m_path;
};

TEST_F(ReminderDialogTest, OkSetsUpAnEnabledTimerThatSystemdAcceptsAndStoresTheChoice)
{
    systemctl(true);
    notificationService(true);
    switchOnWith(QStringLiteral("18:30 7:00"));

    EXPECT_EQ(errors, QStringList());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(storedBool(values::blReminder));
    EXPECT_EQ(openKey().readString(QStringLiteral("strReminderTimes")), u"7:00 18:30");
    EXPECT_EQ(storedInteger(values::intReminderDays), 0x1F);
    EXPECT_TRUE(storedBool(values::blReminderKevali));
    EXPECT_EQ(fileText(calls()),
              "--user daemon-reload\n--user enable --now tolvane-reminder.timer\n");
    const QByteArray timerText = fileText(timer.timerPath());
    EXPECT_TRUE(timerText.contains("\nOnCalendar=Mon,Tue,Wed,Thu,Fri *-*-* 07:00:00\n"
                                   "OnCalendar=Mon,Tue,Wed,Thu,Fri *-*-* 18:30:00\n"))
        << timerText.toStdString();
    const QByteArray execStart = "\nExecStart=\"" +
                                 QFile::encodeName(QCoreApplication::applicationFilePath()) +
                                 "\" --remind\n";
    EXPECT_TRUE(fileText(timer.servicePath()).contains(execStart));

    TOLVANE_REQUIRE(!QStandardPaths::findExecutable(QStringLiteral("systemd-analyze")).isEmpty(),
                    "systemd");
    QTemporaryDir runtime;
    QProcess verify;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    verify.setProcessEnvironment(environment);
    verify.start(QStringLiteral("systemd-analyze"),
                 {QStringLiteral("--user"), QStringLiteral("verify"), timer.timerPath(),
                  timer.servicePath()});
    ASSERT_TRUE(verify.waitForFinished());
    EXPECT_EQ(verify.exitCode(), 0) << verify.readAllStandardError().toStdString();

    // Switched off again: the timer is disabled and goes, and the choice stays for next time.
    open();
    key(Qt::Key_Tab, 2);
    key(Qt::Key_Space);
    key(Qt::Key_Return);
    EXPECT_EQ(errors, QStringList());
    EXPECT_FALSE(storedBool(values::blReminder));
    EXPECT_EQ(storedInteger(values::intReminderDays), 0x1F);
    EXPECT_FALSE(QFile::exists(timer.timerPath()) || QFile::exists(timer.servicePath()));
    EXPECT_TRUE(fileText(calls()).endsWith(
        "--user disable --now tolvane-reminder.timer\n--user daemon-reload\n"));
}

// What OK cannot do: one message, the dialog open with what was typed, the settings and the
// units as they were.
TEST_F(ReminderDialogTest, WhatOkCannotDoIsSaidOnceAndChangesNothing)
{
    struct Row {
        const char* name;
        bool systemdSession;
        bool notificationService;
        QString times;
        QString message;
        QByteArray systemctlCalls;
    };
    const Row rows[]{
        {"no systemd user session", false, true, QStringLiteral("7:00"),
         QStringLiteral("it needs a systemd user session (\"systemctl --user\") to remind you "
                        "while Tolvane is closed, and \"systemctl --user daemon-reload\" said: "
                        "Failed to connect to bus: No medium found"),
         "--user daemon-reload\n--user daemon-reload\n"},
        {"no notification service", true, false, QStringLiteral("7:00"),
         QStringLiteral("no notification service answers on the session bus"), ""},
        {"a time that is none", true, true, QStringLiteral("7:00 7:75"),
         QStringLiteral("'7:75' is not a time of day"), ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        errors.clear();
        QFile::remove(calls());
        systemctl(row.systemdSession);
        notificationService(row.notificationService);
        const QByteArray before = config.readRegistryFile();
        switchOnWith(row.times);

        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(row.message)) << errors[0].toStdString();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentText(),
                  row.times);
        EXPECT_EQ(config.readRegistryFile(), before);
        EXPECT_FALSE(before.contains("Reminder"));
        EXPECT_FALSE(timer.installed());
        EXPECT_EQ(fileText(calls()), row.systemctlCalls);
        notificationService(false);
    }
}

} // namespace
