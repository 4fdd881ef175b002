#include "settings/SettingsStore.h"

#include "platform/Errors.h"
#include "platform/Registry.h"
#include "settings/RegistryAccessor.h"

#include <QCoreApplication>

#include <algorithm>

namespace tolvane::store {

namespace {

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

void readValue(RegistryAccessor& key, const SettingsValue& value)
{
    const QString name = value.name.toString();
    // A file with lines that cannot be read is never written, so the values it lacks are not
    // added: they, and the values on those lines, are used at their defaults.
    if (key.readOnly() && !key.valueReadable(name)) {
        setToDefault(value);
        return;
    }
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

// The first thing that keeps the file from being used in full, as the messages say it.
QString faultText(const QString& filePath, const platform::UserRegistry::Fault& fault)
{
    if (!fault.readError.isEmpty())
        return QCoreApplication::translate("Settings", "the settings file %1 cannot be read (%2).")
            .arg(filePath, fault.readError);
    const platform::WrongLine& wrong = fault.wrongLines.front();
    if (wrong.number == 0)
        return QCoreApplication::translate("Settings",
                                           "the text of the settings file %1 is not valid UTF-16")
            .arg(filePath);
    return QCoreApplication::translate("Settings", "line %1 of the settings file %2 is wrong")
        .arg(QString::number(wrong.number), filePath);
}

bool hasFault(const platform::UserRegistry::Fault& fault)
{
    return !fault.readError.isEmpty() || !fault.wrongLines.empty();
}

// A line as a message shows it: a long one is cut.
QString shownLine(const QByteArray& text)
{
    constexpr qsizetype longest = 80;
    const QString line = QString::fromUtf8(text);
    return line.size() > longest ? line.first(longest - 1) + u'\u2026' : line;
}

// The start-up notice of a file with lines that cannot be read: the first few, by number.
QString wrongLinesNotice(const QString& filePath, const std::vector<platform::WrongLine>& wrong)
{
    constexpr std::size_t shown = 5;
    QString notice;
    if (wrong.front().number == 0) {
        notice = QCoreApplication::translate(
                     "Settings", "Tolvane cannot read its settings: the text of the settings file "
                                 "%1 is not valid UTF-16.")
                     .arg(filePath);
    } else if (wrong.size() == 1) {
        notice = QCoreApplication::translate(
                     "Settings", "Tolvane cannot read line %1 of its settings file %2:\n\n%3")
                     .arg(QString::number(wrong.front().number), filePath,
                          shownLine(wrong.front().text));
    } else {
        notice = QCoreApplication::translate(
                     "Settings", "Tolvane cannot read %1 lines of its settings file %2:\n")
                     .arg(QString::number(wrong.size()), filePath);
        for (std::size_t i = 0; i < std::min(wrong.size(), shown); ++i)
            notice += QCoreApplication::translate("Settings", "\nline %1: %2")
                          .arg(QString::number(wrong[i].number), shownLine(wrong[i].text));
        if (wrong.size() > shown)
            notice += QCoreApplication::translate("Settings", "\n\u2026");
    }
    return notice + QCoreApplication::translate(
                        "Settings",
                        "\n\nIt uses the rest of the file, and the defaults for what it "
                        "cannot read. Tolvane will not change the file until it is "
                        "mended.");
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
    const platform::UserRegistry registry;
    if (const auto fault = registry.fault(); hasFault(fault))
        throw ERegistryException(
            QCoreApplication::translate("Settings", "%1 could not be saved: %2")
                .arg(what, faultText(registry.filePath(), fault)));
    withSettingsKey(group);
}

QString unreadSettingsReason()
{
    const platform::UserRegistry registry;
    if (const auto fault = registry.fault(); hasFault(fault))
        return faultText(registry.filePath(), fault);
    return QCoreApplication::translate("Settings",
                                       "the settings file %1 can neither be read nor made")
        .arg(registry.filePath());
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
    using platform::UserRegistry;
    QStringList notices;
    const QString own = UserRegistry::settingsFolder() + QStringLiteral("/registry.reg");
    switch (UserRegistry::copyOldFile()) {
    case UserRegistry::OldFile::TookNewer:
        notices << QCoreApplication::translate(
                       "Settings", "Tolvane found its settings in two files: %1, of earlier "
                                   "versions, and %2. It uses %1, which changed more recently, "
                                   "and has copied it to %2; what %2 held is kept in %3.")
                       .arg(UserRegistry::oldFilePath(), own, UserRegistry::replacedFilePath());
        break;
    case UserRegistry::OldFile::NotCopied:
        notices << QCoreApplication::translate(
                       "Settings", "Tolvane could not copy its settings file %1 into the folder "
                                   "%2 and goes on using %3")
                       .arg(UserRegistry::oldFilePath(), UserRegistry::settingsFolder(),
                            UserRegistry::defaultFilePath());
        break;
    case UserRegistry::OldFile::None:
    case UserRegistry::OldFile::Copied:
        break;
    }
    const UserRegistry registry;
    const UserRegistry::Fault fault = registry.fault();
    if (!fault.readError.isEmpty())
        notices << QCoreApplication::translate(
                       "Settings", "Tolvane cannot read its settings file %1: %2.\n\nIt runs on "
                                   "the default settings and cannot save any until it can read "
                                   "the file.")
                       .arg(registry.filePath(), fault.readError);
    else if (!fault.wrongLines.empty())
        notices << wrongLinesNotice(registry.filePath(), fault.wrongLines);
    return notices;
}

void startupLoad()
{
    using namespace values;
    RegistryAccessor key;
    if (!key.keyExists(settingsKey))
        key.createKey(settingsKey);
    if (!key.openKey(settingsKey, true)) {
        // A file that cannot be read leaves the program on the defaults, which it cannot save.
        if (!platform::UserRegistry().fault().readError.isEmpty()) {
            for (const SettingsValue* value : defaultsOrder)
                setToDefault(*value);
        }
        return;
    }
    if (!key.readOnly()) {
        for (const SettingsValue* value : defaultsOrder) {
            if (!key.valueExists(value->name.toString()))
                writeValue(key, *value, false);
        }
        key.closeKey();
        key.openKey(settingsKey, true);
    }
    readValues(key,
               {&intPrTotalTime, &intPrInhale,     &intPrExhale,       &intCheckOne, &intCheckTwo,
                &intDays,        &intKevTotalTime, &intKevStartBreath, &blModeOne,   &blModeTwo,
                &blCheckOne,     &blCheckTwo,      &blDelay,           &blKevDelay,  &tTotalTime,
                &blAuto,         &blAutoTwo,       &intIncrementDays,  &intTop,      &intLeft});
}

void writeWindowPosition()
{
    // A file with wrong lines was told of at start-up as one that is not changed; one that cannot
    // be read at all is told again, as nothing of the session can be kept.
    const platform::UserRegistry registry;
    const auto fault = registry.fault();
    if (!fault.readError.isEmpty())
        throw ERegistryException(
            QCoreApplication::translate("Settings", "The window's place could not be saved: %1")
                .arg(faultText(registry.filePath(), fault)));
    if (!fault.wrongLines.empty())
        return;
    withSettingsKey([](RegistryAccessor& key) {
        writeValues(key, {&values::intLeft, &values::intTop});
    });
}

bool loadPranayamaSettings()
{
    using namespace values;
    return withSettingsKey([](RegistryAccessor& key) {
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

void writePranayamaSettings(const PranayamaChoice& choice)
{
    saveWithSettingsKey(QCoreApplication::translate("Settings", "The Pranayama settings"),
                        [&choice](RegistryAccessor& key) {
                            using namespace values;
                            key.writeInteger(intPrTotalTime.name.toString(), choice.rounds);
                            key.writeInteger(intPrInhale.name.toString(), choice.inhale);
                            key.writeInteger(intCheckOne.name.toString(), choice.checkOne);
                            key.writeInteger(intPrExhale.name.toString(), choice.exhale);
                            key.writeInteger(intCheckTwo.name.toString(), choice.checkTwo);
                            writeValues(key, {&blModeOne, &blModeTwo, &blCheckOne, &blCheckTwo,
                                              &blDelay, &blAuto, &blAutoTwo});
                            key.writeDateTime(tTotalTime.name.toString(), choice.totalTime);
                            if (choice.incrementDays)
                                key.writeInteger(intIncrementDays.name.toString(),
                                                 *choice.incrementDays);
                            writeValues(key, {&intDays});
                        });
}

void writeKevaliSettings()
{
    using namespace values;
    saveWithSettingsKey(QCoreApplication::translate("Settings", "The Kevali settings"),
                        [](RegistryAccessor& key) {
                            writeValues(key, {&intKevTotalTime, &intKevStartBreath, &blKevDelay});
                        });
}

void loadRatingSettings()
{
    using namespace values;
    withSettingsKey([](RegistryAccessor& key) {
        readValues(key, {&intPrTotalTime, &intPrInhale, &intPrExhale, &intCheckOne, &intCheckTwo,
                         &intDays, &blCheckOne, &blCheckTwo, &blDelay, &tTotalTime, &blAuto,
                         &blAutoTwo, &intIncrementDays});
    });
}

void writeRating()
{
    using namespace values;
    saveWithSettingsKey(QCoreApplication::translate("Settings", "The rating"),
                        [](RegistryAccessor& key) {
                            writeValues(key, {&tTotalTime, &intPrInhale, &intCheckOne, &intPrExhale,
                                              &intCheckTwo, &intDays});
                        });
}

std::optional<StoredIncrement> readStoredIncrement()
{
    try {
        RegistryAccessor key;
        if (!key.openKey(settingsKey, false))
            return std::nullopt;
        const auto read = [&key](const SettingsValue& value) {
            return key.readInteger(value.name.toString());
        };
        using namespace values;
        return StoredIncrement{key.readBool(blAuto.name.toString()) ||
                                   key.readBool(blAutoTwo.name.toString()),
                               read(intDays), read(intIncrementDays)};
    } catch (const ERegistryException&) {
        return std::nullopt;
    }
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
    saveWithSettingsKey(
        QCoreApplication::translate("Settings", "The reminder settings"),
        [](RegistryAccessor& key) {
            writeValues(key, {&blReminder, &strReminderTimes, &intReminderDays, &blReminderKevali});
        });
}

} // namespace tolvane::store
