#pragma once

#include "platform/Application.h"
#include "platform/ErrorDispatch.h"
#include "platform/Registry.h"
#include "settings/RegistryAccessor.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TempConfig.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTest>
#include <QWidget>

namespace tolvane::test {

// A first-start settings store of its own, a zero record, and failures collected instead of
// shown; helpers read and write single stored values by their names.
class DialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings = {};
        platform::setApplicationTitle(QStringLiteral("Tolvane"));
        platform::setErrorReporter([this](const QString& text) { errors << text; });
        // The first start writes the twenty defaults once; later tests copy its file, so that
        // the start-up load only reads.
        static QByteArray firstStartFile;
        if (!firstStartFile.isEmpty())
            config.writeRegistryFile(firstStartFile);
        store::startupLoad();
        firstStartFile = config.readRegistryFile();
    }

    void TearDown() override { platform::setErrorReporter({}); }

    static RegistryAccessor openKey()
    {
        RegistryAccessor key;
        EXPECT_TRUE(key.openKey(settingsKey, true));
        return key;
    }
    static void storeInteger(const SettingsValue& value, std::int32_t number)
    {
        openKey().writeInteger(value.name.toString(), number);
    }
    static void storeBool(const SettingsValue& value, bool flag)
    {
        openKey().writeBool(value.name.toString(), flag);
    }
    static void storeText(const SettingsValue& value, const QByteArray& text)
    {
        platform::UserRegistry().setValue(QStringLiteral("SOFTWARE\\Tolvane"),
                                          value.name.toString(), {platform::RegSz, text + '\0'});
    }
    static std::int32_t storedInteger(const SettingsValue& value)
    {
        return openKey().readInteger(value.name.toString());
    }
    static bool storedBool(const SettingsValue& value)
    {
        return openKey().readBool(value.name.toString());
    }
    static double storedTime(const SettingsValue& value)
    {
        return openKey().readDateTime(value.name.toString());
    }

    // Shows a dialog modelessly and waits until it has the focus, so keys and clicks land.
    static void showActive(QWidget& dialog)
    {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    TempConfig config;
    QStringList errors;
};

} // namespace tolvane::test
