// The settings store when its file or folder misbehaves: every operation either does its whole
// group or reports, and the file is never left half-written or overwritten when it is not ours.
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>

#include <chrono>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tolvane;

namespace {

using Status = platform::UserRegistry::QueryStatus;

class SettingsFaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings = {};
        store::startupLoad();
        settings = {};
    }

    QString folder() const { return config.configHome() + QStringLiteral("/tolvane"); }

    static platform::UserRegistry::Query stored(const char* name)
    {
        return platform::UserRegistry().queryValue(QStringLiteral("SOFTWARE\\Tolvane"),
                                                   QString::fromLatin1(name), 4);
    }
    static std::int32_t storedInteger(const char* name)
    {
        const auto query = stored(name);
        return query.status == Status::Success ? qFromLittleEndian<std::int32_t>(query.data.data())
                                               : -1;
    }

    // The message the Kevali dialog's group write fails with, or an empty text.
    static QString writeKevaliFailure()
    {
        settings.intKevTotalTime = 33;
        settings.intKevStartBreath = 9;
        settings.blKevDelay = true;
        try {
            store::writeKevaliSettings();
        } catch (const ERegistryException& error) {
            return error.message();
        }
        return {};
    }

    test::TempConfig config;
};

// A folder the user cannot write to and a disk that is full

TEST_F(SettingsFaultTest, ReadOnlyFolderRefusesTheFirstValueAndKeepsTheFile)
{
    const QByteArray before = config.readRegistryFile();
    ASSERT_TRUE(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));
    const bool refused = test::asOrdinaryUser(config.configHome(), [] {
        return writeKevaliFailure() == u"Failed to set data for 'intKevTotalTime'";
    });
    ASSERT_TRUE(
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_TRUE(refused);
    EXPECT_EQ(config.readRegistryFile(), before);
}

TEST_F(SettingsFaultTest, FullDiskRefusesTheFirstValueAndKeepsTheFile)
{
    const QByteArray before = config.readRegistryFile();
    const pid_t child = ::fork();
    if (child == 0) {
        // No file may grow at all: every new temporary is as good as a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{0, 0};
        ::_exit(::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
                        writeKevaliFailure() == u"Failed to set data for 'intKevTotalTime'"
                    ? 0
                    : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(config.readRegistryFile(), before);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("registry.reg"), QStringLiteral("registry.reg.lock")}));
}

// Something else in the file's place

TEST_F(SettingsFaultTest, ThingsInThePlaceOfTheFileAreLeftAloneAndTold)
{
    const QString file = config.registryFile();
    const QByteArray text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n" +
                            QByteArray("\"intTop\"=dword:00000001\n").repeated(4'400'000);
    const struct {
        const char* name;
        std::function<void()> make;
        bool readable; // its lines are read, wrong as they are; a close is not held up
    } cases[] = {
        {"garbage",
         [&] { config.writeRegistryFile(QByteArray::fromHex("deadbeef00ff").repeated(99)); }, true},
        {"a directory", [&] { QDir().mkpath(file); }, false},
        {"a symbolic link loop", [&] { QFile::link(file, file); }, false},
        {"100 MB of registry text", [&] { config.writeRegistryFile(text); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file);
        QDir(file).removeRecursively();
        c.make();
        const QFileInfo before(file);
        const QByteArray contents = before.isFile() ? config.readRegistryFile() : QByteArray();

        QElapsedTimer elapsed;
        elapsed.start();
        settings = {};
        EXPECT_EQ(store::settingsFileNotices().size(), 1);
        EXPECT_NO_THROW(store::startupLoad());
        EXPECT_EQ(settings.intPrTotalTime, 20); // the defaults stand in
        EXPECT_FALSE(writeKevaliFailure().isEmpty());
        if (c.readable)
            EXPECT_NO_THROW(store::writeWindowPosition());
        else
            EXPECT_THROW(store::writeWindowPosition(), ERegistryException);
        EXPECT_NO_THROW(store::loadKevaliSettings());
        EXPECT_LT(elapsed.elapsed(), 5000) << "the file was read, not refused";

        const QFileInfo after(file);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.isDir(), before.isDir());
        if (before.isFile()) {
            EXPECT_TRUE(config.readRegistryFile() == contents); // no 100 MB dump on failure
        }
    }
    QFile::remove(file);
}

// Two running programs

TEST_F(SettingsFaultTest, TwoProcessesWritingAtOnceLoseNoValueAndTheFileAlwaysParses)
{
    // Ten seconds by hand (TOLVANE_STRESS_SECONDS=10); three keep the suite quick.
    const int seconds = qEnvironmentVariableIsSet("TOLVANE_STRESS_SECONDS")
                            ? qEnvironmentVariableIntValue("TOLVANE_STRESS_SECONDS")
                            : 3;
    const auto writer = [seconds](bool kevali) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        std::int32_t n = 0;
        try {
            while (std::chrono::steady_clock::now() < end) {
                ++n;
                if (kevali) {
                    settings.intKevTotalTime = n;
                    settings.intKevStartBreath = n;
                    settings.blKevDelay = n % 2 != 0;
                    store::writeKevaliSettings();
                } else {
                    settings.intLeft = n;
                    settings.intTop = -n;
                    store::writeWindowPosition();
                }
            }
            // The last number written, for the parent to find.
            QByteArray last(4, '\0');
            qToLittleEndian(n, last.data());
            platform::UserRegistry().setValue(QStringLiteral("SOFTWARE\\Tolvane\\Test"),
                                              QString::fromLatin1(kevali ? "kevali" : "position"),
                                              {platform::RegDword, last});
        } catch (const ERegistryException&) {
            ::_exit(1);
        }
        ::_exit(0);
    };
    settings.intLeft = 0;
    store::writeWindowPosition();
    settings.intKevTotalTime = 0;
    store::writeKevaliSettings();
    pid_t children[2] = {};
    for (int i = 0; i < 2; ++i) {
        children[i] = ::fork();
        if (children[i] == 0)
            writer(i == 0);
        ASSERT_GT(children[i], 0);
    }

    int reads = 0;
    std::int32_t lastKevali = 0;
    std::int32_t lastLeft = 0;
    for (int running = 2; running > 0;) {
        ++reads;
        const auto query = stored("intKevTotalTime");
        ASSERT_EQ(query.status, Status::Success) << "after " << reads << " reads";
        const std::int32_t kevali = storedInteger("intKevTotalTime");
        const std::int32_t left = storedInteger("intLeft");
        EXPECT_GE(kevali, lastKevali); // a value once there is never lost again
        EXPECT_GE(left, lastLeft);
        lastKevali = kevali;
        lastLeft = left;
        for (pid_t& child : children) {
            int status = 0;
            if (child > 0 && ::waitpid(child, &status, WNOHANG) == child) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                child = 0;
                --running;
            }
        }
    }
    const auto last = [](const char* name) {
        const auto query = platform::UserRegistry().queryValue(
            QStringLiteral("SOFTWARE\\Tolvane\\Test"), QString::fromLatin1(name), 4);
        return query.status == Status::Success ? qFromLittleEndian<std::int32_t>(query.data.data())
                                               : -1;
    };
    const std::int32_t kevaliWrites = last("kevali");
    const std::int32_t positionWrites = last("position");
    ASSERT_GT(kevaliWrites, 0);
    ASSERT_GT(positionWrites, 0);
    EXPECT_EQ(storedInteger("intKevTotalTime"), kevaliWrites);
    EXPECT_EQ(storedInteger("intKevStartBreath"), kevaliWrites);
    EXPECT_EQ(storedInteger("blKevDelay"), kevaliWrites % 2);
    EXPECT_EQ(storedInteger("intLeft"), positionWrites);
    EXPECT_EQ(storedInteger("intTop"), -positionWrites);
    EXPECT_EQ(storedInteger("intPrTotalTime"), 20); // the values nobody wrote stay too
    RecordProperty("reads", reads);
}

} // namespace
