// Adding a practice to a log that is damaged, huge or in the way: what was there stays byte for
// byte, a log it can add to gets the line, and one it cannot is named in the message.
#include "practicelog/LogFile.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>

using namespace tolvane;
using namespace tolvane::practicelog;

namespace {

PracticeEntry practice(int round)
{
    PracticeEntry entry;
    entry.started = LocalStamp::of(QDateTime(QDate(2026, 12, 8), QTime(7, 15, 4)));
    entry.type = Holds::None;
    entry.ratio = Ratio::Free;
    entry.puraka = round / 2;
    entry.abhyantara = 0;
    entry.rechaka = round - round / 2;
    entry.bahya = 0;
    entry.roundsPlanned = 2;
    entry.plannedSeconds = 2.0 * round;
    entry.elapsedSeconds = 2.0 * round + 0.003;
    entry.roundsDone = 2;
    return entry;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(LogFaults, WhatIsThereStaysAndWhatCannotBeAddedIsNamed)
{
    const test::TempConfig dirs;
    const QString path = defaultLogPath();
    const QString folder = QFileInfo(path).absolutePath();
    ASSERT_EQ(path, dirs.dataHome() + u"/tolvane/practice-log.csv");
    const QByteArray garbage("\x01\xff garbage\r\nmore,\"of it");
    const QByteArray huge = csvHeader() + csvLine(practice(3)).repeated(1'300'000); // 101 MB
    const PracticeEntry added = practice(4);

    const struct {
        const char* name;
        std::function<void()> make;
        QByteArray before;              // the bytes that must stay at the start of the file
        QByteArray separator;           // what comes between them and the line, if it is added
        int unreadable;                 // lines that a read of the log then leaves out
        std::optional<QString> refused; // the end of the message, when the line is not added
    } cases[] = {
        {"garbage without a final line break", [&] { write(path, garbage); }, garbage,
         "\r\n" + csvHeader(), 2, std::nullopt},
        {"a log of over 100 MB", [&] { write(path, huge); }, huge, "", 0, std::nullopt},
        {"a folder in its place",
         [&] { QDir().mkpath(path); },
         {},
         "",
         0,
         QStringLiteral("is a directory")},
        {"a read-only folder holding a read-only log",
         [&] {
             write(path, csvHeader());
             QFile::setPermissions(path, QFile::ReadOwner);
             QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
         },
         csvHeader(), "", 0, QStringLiteral("permission denied")},
    };
    for (const auto& c : cases) {
        QDir(dirs.dataHome()).removeRecursively();
        c.make();
        std::optional<QString> failure;
        const bool ran = test::asOrdinaryUser(dirs.configHome(), [&] {
            failure = appendEntries(path, {added});
            // The child's result has to cross to the parent by its exit code.
            return failure.has_value() == c.refused.has_value() &&
                   (!failure || failure->endsWith(*c.refused));
        });
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_TRUE(ran) << c.name;
        if (c.refused) {
            if (failure) { // run in this process, when it is not root's
                EXPECT_EQ(*failure, QStringLiteral("This practice could not be added to the "
                                                   "practice log \"%1\": %2")
                                        .arg(path, *c.refused))
                    << c.name;
            }
            EXPECT_TRUE(QFileInfo(path).isDir() || contents(path) == c.before) << c.name;
            continue;
        }
        const QByteArray after = contents(path);
        EXPECT_TRUE(after.startsWith(c.before)) << c.name;
        EXPECT_EQ(after.sliced(c.before.size()), c.separator + csvLine(added)) << c.name;

        // The window reads a bounded end of the log, and never shows a line it cannot read.
        const LogRead read = readLog(path, 1024 * 1024);
        EXPECT_EQ(read.failure, QString()) << c.name;
        ASSERT_FALSE(read.log.entries.empty()) << c.name;
        EXPECT_EQ(read.log.entries.back(), added) << c.name;
        EXPECT_EQ(read.log.unreadableLines, c.unreadable) << c.name;
        EXPECT_EQ(read.bytesNotRead > 0, after.size() > 1024 * 1024) << c.name;
    }
}

} // namespace
