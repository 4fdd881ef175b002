#include "settings/SettingsStore.h"

#include "platform/Errors.h"
#include "platform/Registry.h"
#include "settings/RegistryAccessor.h"

namespace tolvane::store {

namespace {

void readValue(RegistryAccessor& key, const SettingsValue& value)
{
    const QString name = value.name.toString();
    std::visit(
        [&](auto field) {
            using Type = std::remove_reference_t<decltype(settings.*field)>;
            if constexpr (std::is_same_v<Type, bool>)
                settings.*field = key.readBool(name);
            else if constexpr (std::is_same_v<Type, double>)
                settings.*field = key.readDateTime(name);
            else if constexpr (std::is_same_v<Type, QString>)
                settings.*field = key.readString(name);
            else
                settings.*field = key.readInteger(name);
        },
        value.field);
}

// Writes the value's default, or with fromRecord the settings record field of its name.
void writeValue(RegistryAccessor& key, const SettingsValue& value, bool fromRecord)
{
    const QString name = value.name.toString();
    std::visit(
        [&](auto field) {
            using Type = std::remove_reference_t<decltype(settings.*field)>;
            if constexpr (std::is_same_v<Type, QString>) {
                key.writeString(name, fromRecord ? settings.*field : value.defaultText.toString());
            } else {
                const double number =
                    fromRecord ? static_cast<double>(settings.*field) : value.defaultValue;
                if constexpr (std::is_same_v<Type, bool>)
                    key.writeBool(name, number != 0);
                else if constexpr (std::is_same_v<Type, double>)
                    key.writeDateTime(name, number);
                else
                    key.writeInteger(name, static_cast<std::int32_t>(number));
            }
        },
        value.field);
}

void setToDefault(const SettingsValue& value)
{
    std::visit(
        [&](auto field) {
            using Type = std::remove_reference_t<decltype(settings.*field)>;
            if constexpr (std::is_same_v<Type, QString>)
                settings.*field = value.defaultText.toString();
            else if constexpr (std::is_same_v<Type, bool>)
                settings.*field = value.defaultValue != 0;
            else
                settings.*field = static_cast<Type>(value.defaultValue);
        },
        value.field);
}

// What keeps the file from being parsed, as the messages say it.
QString wrongLineText(const QString& filePath, const platform::WrongLine& wrong)
{
    if (wrong.number == 0)
        return QStringLiteral("the text of the settings file %1 is not valid UTF-16").arg(filePath);
    return QStringLiteral("line %1 of the settings file %2 is wrong")
        .arg(QString::number(wrong.number), filePath);
}

// A line as a message shows it: a long one is cut.
QString shownLine(const QByteArray& text)
{
    constexpr qsizetype longest = 80;
    const QString line = QString::fromUtf8(text);
    return line.size() > longest ? line.first(longest - 1) + u'\u2026' : line;
}

} // namespace

bool withSettingsKey(const std::function<void(RegistryAccessor&)>& group)
{
    RegistryAccessor key;
    if (!key.openKey(settingsKey, true))
        return false;
    group(key);
    key.closeKey();
    return true;
}

void saveWithSettingsKey(const QString& what, const std::function<void(RegistryAccessor&)>& group)
{
    if (withSettingsKey(group))
        return;
    const platform::UserRegistry registry;
    if (const auto wrong = registry.wrongLine())
        throw ERegistryException(QStringLiteral("%1 could not be saved: %2")
                                     .arg(what, wrongLineText(registry.filePath(), *wrong)));
}

void readValues(RegistryAccessor& key, ValueGroup group)
{
    for (const SettingsValue* value : group)
        readValue(key, *value);
}

void writeValues(RegistryAccessor& key, ValueGroup group)
{
    for (const SettingsValue* value : group)
        writeValue(key, *value, true);
}

QStringList settingsFileNotices()
{
    QStringList notices;
    if (!platform::UserRegistry::moveOldFile())
        notices << QStringLiteral("Tolvane could not move its settings file %1 into the folder %2 "
                                  "and goes on using it where it is")
                       .arg(platform::UserRegistry::oldFilePath(),
                            platform::UserRegistry::settingsFolder());
    const platform::UserRegistry registry;
    if (const auto wrong = registry.wrongLine()) {
        QString notice = QStringLiteral("Tolvane cannot read its settings: ") +
                         wrongLineText(registry.filePath(), *wrong);
        if (wrong->number > 0)
            notice += QStringLiteral(":\n\n") + shownLine(wrong->text);
        notices << notice +
                       QStringLiteral("\n\nTolvane will not change the file until it is mended.");
    }
    return notices;
}

void startupLoad()
{
    using namespace values;
    RegistryAccessor key;
    if (!key.keyExists(settingsKey))
        key.createKey(settingsKey);
    if (!key.openKey(settingsKey, true))
        return;
    for (const SettingsValue* value : defaultsOrder) {
        if (!key.valueExists(value->name.toString()))
            writeValue(key, *value, false);
    }
    key.closeKey();
    key.openKey(settingsKey, true);
    readValues(key,
               {&intPrTotalTime, &intPrInhale,     &intPrExhale,       &intCheckOne, &intCheckTwo,
                &intDays,        &intKevTotalTime, &intKevStartBreath, &blModeOne,   &blModeTwo,
                &blCheckOne,     &blCheckTwo,      &blDelay,           &blKevDelay,  &tTotalTime,
                &blAuto,         &blAutoTwo,       &intIncrementDays,  &intTop,      &intLeft});
}

void writeWindowPosition()
{
    withSettingsKey([](RegistryAccessor& key) {
        writeValues(key, {&values::intLeft, &values::intTop});
    });
}

void loadPranayamaSettings()
{
    using namespace values;
    withSettingsKey([](RegistryAccessor& key) {
        readValues(key, {&intPrTotalTime, &intPrInhale, &intPrExhale, &intCheckOne, &intCheckTwo,
                         &intDays, &blModeOne, &blModeTwo, &blCheckOne, &blCheckTwo, &blDelay,
                         &tTotalTime, &blAuto, &blAutoTwo});
    });
}

void loadKevaliSettings()
{
    using namespace values;
    withSettingsKey([](RegistryAccessor& key) {
        readValues(key, {&intKevTotalTime, &intKevStartBreath, &blKevDelay});
    });
}

} // namespace tolvane::store

namespace tolvane::store {

void writeKevaliSettings()
{
    using namespace values;
    saveWithSettingsKey(QStringLiteral("The Kevali settings"), [](RegistryAccessor& key) {
        writeValues(key, {&intKevTotalTime, &intKevStartBreath, &blKevDelay});
    });
}

void loadReminderSettings()
{
    for (const SettingsValue* value : reminderValues)
        setToDefault(*value);
    withSettingsKey([](RegistryAccessor& key) {
        for (const SettingsValue* value : reminderValues) {
            if (key.valueExists(value->name.toString()))
                readValue(key, *value);
        }
    });
}

void writeReminderSettings()
{
    using namespace values;
    saveWithSettingsKey(QStringLiteral("The reminder settings"), [](RegistryAccessor& key) {
        writeValues(key, {&blReminder, &strReminderTimes, &intReminderDays, &blReminderKevali});
    });
}

} // namespace tolvane::store
