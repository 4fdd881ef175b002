#include "settings/SettingsStore.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "settings/SettingsRecord.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>

using namespace tolvane;

namespace {

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override { settings = {}; }

    platform::UserRegistry::Query stored(const char* name) const
    {
        return platform::UserRegistry().queryValue(QStringLiteral("SOFTWARE\\Tolvane"),
                                                   QString::fromLatin1(name), 64);
    }

    // The message the start-up load fails with, or an empty text when it succeeds.
    QString startupLoadFailure()
    {
        try {
            store::startupLoad();
        } catch (const ERegistryException& error) {
            return error.message();
        }
        return {};
    }

    test::TempConfig config;
};

QByteArray dword(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

TEST_F(SettingsStoreTest, FirstStartWritesTheTwentyDefaultsByteExact)
{
    ASSERT_EQ(startupLoadFailure(), QString());
    const struct {
        const char* name;
        quint32 value;
    } integers[] = {{"intPrTotalTime", 20},  {"intPrInhale", 5},
                    {"intPrExhale", 10},     {"intCheckOne", 20},
                    {"intCheckTwo", 0},      {"intDays", 0},
                    {"intKevTotalTime", 10}, {"intKevStartBreath", 5},
                    {"blModeOne", 1},        {"blModeTwo", 0},
                    {"blCheckOne", 1},       {"blCheckTwo", 0},
                    {"blDelay", 0},          {"blKevDelay", 0},
                    {"blAuto", 0},           {"blAutoTwo", 0},
                    {"intTop", 0},           {"intLeft", 0},
                    {"intIncrementDays", 7}};
    for (const auto& [name, value] : integers) {
        const auto query = stored(name);
        EXPECT_EQ(query.type, platform::RegDword) << name;
        EXPECT_EQ(query.data, dword(value)) << name;
    }
    const auto total = stored("tTotalTime");
    EXPECT_EQ(total.type, platform::RegBinary);
    EXPECT_EQ(total.data, QByteArray::fromHex("7B09ED25B497803F"));

    EXPECT_EQ(settings.intPrTotalTime, 20);
    EXPECT_EQ(settings.intCheckOne, 20);
    EXPECT_EQ(settings.intIncrementDays, 7);
    EXPECT_TRUE(settings.blModeOne);
    EXPECT_TRUE(settings.blCheckOne);
    EXPECT_FALSE(settings.blDelay);
    EXPECT_DOUBLE_EQ(settings.tTotalTime * 86400, 700);
}

TEST_F(SettingsStoreTest, PresentValuesKeepTheirContentAndOnlyMissingOnesGetDefaults)
{
    config.writeRegistryFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                             "\"intPrInhale\"=dword:000003e7\n"
                             "\"INTTOP\"=dword:ffffff9c\n"
                             "\"blDelay\"=dword:00000002\n");
    ASSERT_EQ(startupLoadFailure(), QString());
    EXPECT_EQ(settings.intPrInhale, 999);
    EXPECT_EQ(settings.intTop, -100);
    EXPECT_TRUE(settings.blDelay); // any number but 0 is true
    EXPECT_EQ(stored("blDelay").data, dword(2));
    EXPECT_EQ(stored("intPrExhale").data, dword(10));
    EXPECT_EQ(settings.intPrExhale, 10);
}

TEST_F(SettingsStoreTest, WrongTypesAndSizesFailWithTheirMessagesAndStopTheLoadThere)
{
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"\"intTop\"=\"abc\"", "Invalid data type for 'intTop'"},
        {"\"intTop\"=\"abcdef\"", "Failed to get data for 'intTop'"},
        {"\"intTop\"=hex:01,02,03,04", "Invalid data type for 'intTop'"},
        {"\"tTotalTime\"=dword:00000001", "Invalid data type for 'tTotalTime'"},
        {"\"tTotalTime\"=hex:00,00,00,00", "Invalid data type for 'tTotalTime'"},
        {"\"tTotalTime\"=hex:00,00,00,00,00,00,00,00,00", "Failed to get data for 'tTotalTime'"},
    };
    for (const auto& [line, message] : cases) {
        test::TempConfig own;
        settings = {};
        own.writeRegistryFile(QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane]\n"
                                         "\"intLeft\"=dword:0000012c\n") +
                              line + '\n');
        EXPECT_EQ(startupLoadFailure(), QString::fromLatin1(message)) << line;
        // Values read before the faulty one are in the record; intLeft comes after both.
        EXPECT_EQ(settings.intPrTotalTime, 20) << line;
        EXPECT_EQ(settings.intLeft, 0) << line;
    }
}

TEST_F(SettingsStoreTest, FileWithLinesThatCannotBeReadGivesTheDefaultsAndIsNeverOverwritten)
{
    const QByteArray garbage("\x7f"
                             "ELF not a registry file\n[[[\n\"x\"=dword:zz\n",
                             41);
    config.writeRegistryFile(garbage);
    EXPECT_EQ(startupLoadFailure(), QString());
    EXPECT_EQ(settings.intPrTotalTime, 20);
    EXPECT_TRUE(settings.blModeOne);
    store::writeWindowPosition();
    EXPECT_EQ(config.readRegistryFile(), garbage);
}

TEST_F(SettingsStoreTest, KeyThatCannotBeCreatedIsReported)
{
    // A plain file where the settings folder belongs: no key can be made, even by root.
    QFile blocker(config.configHome() + QStringLiteral("/tolvane"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(startupLoadFailure(), QStringLiteral("Failed to create key \\SOFTWARE\\Tolvane"));
    EXPECT_EQ(settings.intPrTotalTime, 0);
}

TEST_F(SettingsStoreTest, WindowPositionIsWrittenAndReadBack)
{
    ASSERT_EQ(startupLoadFailure(), QString());
    settings.intLeft = 321;
    settings.intTop = -40;
    store::writeWindowPosition();
    settings = {};
    ASSERT_EQ(startupLoadFailure(), QString());
    EXPECT_EQ(settings.intLeft, 321);
    EXPECT_EQ(settings.intTop, -40);
}

TEST_F(SettingsStoreTest, PracticeReloadRestoresWorkingChangesFromTheStore)
{
    ASSERT_EQ(startupLoadFailure(), QString());
    settings.blDelay = true;
    settings.intPrInhale = 77;
    settings.intKevStartBreath = 12;
    store::loadPranayamaSettings();
    store::loadKevaliSettings();
    EXPECT_FALSE(settings.blDelay);
    EXPECT_EQ(settings.intPrInhale, 5);
    EXPECT_EQ(settings.intKevStartBreath, 5);
}

} // namespace
