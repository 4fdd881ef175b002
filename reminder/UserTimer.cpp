#include "reminder/UserTimer.h"

#include "platform/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>

#include <optional>

namespace tolvane::reminder {

namespace {

constexpr int systemctlTimeoutMs = 30000;

// Why "systemctl --user ARGUMENTS" failed; nothing when it succeeded.
std::optional<QString> systemctlFailure(const QStringList& arguments)
{
    QProcess systemctl;
    systemctl.start(QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + arguments);
    if (!systemctl.waitForStarted())
        return QCoreApplication::translate("Reminder", "systemctl cannot be started (%1)")
            .arg(systemctl.errorString());
    if (!systemctl.waitForFinished(systemctlTimeoutMs)) {
        systemctl.kill();
        systemctl.waitForFinished();
        return QCoreApplication::translate("Reminder", "\"systemctl --user %1\" gave no answer")
            .arg(arguments.join(u' '));
    }
    if (systemctl.exitStatus() == QProcess::NormalExit && systemctl.exitCode() == 0)
        return std::nullopt;
    QString said = QString::fromLocal8Bit(systemctl.readAllStandardError()).trimmed();
    if (said.isEmpty())
        said = QCoreApplication::translate("Reminder", "exit code %1").arg(systemctl.exitCode());
    return QCoreApplication::translate("Reminder", "\"systemctl --user %1\" said: %2")
        .arg(arguments.join(u' '), said);
}

// systemd takes a command line's words in double quotes, with %, $ and \ escaped.
QString quotedWord(QString word)
{
    word.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'"', QStringLiteral("\\\""))
        .replace(u'%', QStringLiteral("%%"))
        .replace(u'$', QStringLiteral("$$"));
    return u'"' + word + u'"';
}

std::optional<QByteArray> contentsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() &&
           file.commit();
}

// Puts a unit file back as it was: the old contents, or no file.
void restore(const QString& path, const std::optional<QByteArray>& before)
{
    if (before)
        writeFile(path, *before);
    else
        QFile::remove(path);
}

} // namespace

QString UserTimer::unitFolder()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/systemd/user");
}

QString UserTimer::timerPath() const
{
    return unitFolder() + u'/' + QLatin1StringView(unitName) + QStringLiteral(".timer");
}

QString UserTimer::servicePath() const
{
    return unitFolder() + u'/' + QLatin1StringView(unitName) + QStringLiteral(".service");
}

QString UserTimer::timerUnit(const ReminderPlan& plan)
{
    QString text = QStringLiteral("# Written by Tolvane's Settings > Reminder; changed there.\n"
                                  "[Unit]\n"
                                  "Description=Tolvane's reminder to practise\n"
                                  "\n"
                                  "[Timer]\n");
    for (const QString& expression : onCalendar(plan))
        text += QStringLiteral("OnCalendar=") + expression + u'\n';
    text += QStringLiteral("\n"
                           "[Install]\n"
                           "WantedBy=timers.target\n");
    return text;
}

QString UserTimer::serviceUnit(const QString& program)
{
    return QStringLiteral("# Written by Tolvane's Settings > Reminder; changed there.\n"
                          "[Unit]\n"
                          "Description=Tolvane's reminder to practise\n"
                          "\n"
                          "[Service]\n"
                          "Type=exec\n"
                          "ExecStart=") +
           quotedWord(program) + QStringLiteral(" --remind\n");
}

bool UserTimer::installed() const
{
    return QFile::exists(timerPath()) || QFile::exists(servicePath());
}

void UserTimer::install(const ReminderPlan& plan, const QString& program)
{
    const QString timer = QLatin1StringView(unitName) + QStringLiteral(".timer");
    const auto timerBefore = contentsOf(timerPath());
    const auto serviceBefore = contentsOf(servicePath());
    const auto fail = [&](const QString& what) {
        restore(timerPath(), timerBefore);
        restore(servicePath(), serviceBefore);
        systemctlFailure({QStringLiteral("daemon-reload")});
        throw TolvaneError(what);
    };

    if (!QDir().mkpath(unitFolder()) || !writeFile(servicePath(), serviceUnit(program).toUtf8()) ||
        !writeFile(timerPath(), timerUnit(plan).toUtf8()))
        fail(QCoreApplication::translate(
                 "Reminder", "Tolvane cannot set the reminder: it cannot write its timer to the "
                             "folder %1")
                 .arg(unitFolder()));
    std::optional<QString> failure = systemctlFailure({QStringLiteral("daemon-reload")});
    if (!failure)
        failure = systemctlFailure({QStringLiteral("enable"), QStringLiteral("--now"), timer});
    // A timer that ran already takes its new times only when it starts again.
    if (!failure && timerBefore)
        failure = systemctlFailure({QStringLiteral("restart"), timer});
    if (failure)
        fail(QCoreApplication::translate(
                 "Reminder", "Tolvane cannot set the reminder: it needs a systemd user session "
                             "(\"systemctl --user\") to remind you while Tolvane is closed, and %1")
                 .arg(*failure));
}

void UserTimer::remove()
{
    if (!installed())
        return;
    // Without a user session no timer runs, so there is nothing to disable.
    systemctlFailure({QStringLiteral("disable"), QStringLiteral("--now"),
                      QLatin1StringView(unitName) + QStringLiteral(".timer")});
    QFile::remove(timerPath());
    QFile::remove(servicePath());
    systemctlFailure({QStringLiteral("daemon-reload")});
}

} // namespace tolvane::reminder
