#pragma once

#include "settings/SettingsValues.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

namespace tolvane {

class RegistryAccessor;

// The settings key under HKEY_CURRENT_USER; the leading backslash takes it from the root.
inline const QString settingsKey = QStringLiteral("\\SOFTWARE\\Tolvane");

namespace store {

using ValueGroup = std::initializer_list<const SettingsValue*>;

// Opens the settings key, creating it, and runs the group's accesses on it. When the key
// cannot be opened nothing happens and false is returned; failures of single values raise
// ERegistryException, leaving the values before them done.
bool withSettingsKey(const std::function<void(RegistryAccessor&)>& group);

// Like withSettingsKey, for a group that stores what the user confirmed: a settings file that
// cannot be read in full raises "<what> could not be saved: …" and writes nothing.
void saveWithSettingsKey(const QString& what, const std::function<void(RegistryAccessor&)>& group);

// Why the settings key could not be opened, as a message goes on after a colon.
QString unreadSettingsReason();

// Reads the values into the settings record fields of the same names, in the order given.
void readValues(RegistryAccessor& key, ValueGroup group);
// Writes the settings record fields of these values, in the order given.
void writeValues(RegistryAccessor& key, ValueGroup group);

// At start-up, before the load: copies the settings file of earlier versions into the settings
// folder, and returns what the user must be told about the files: which one is used when both
// changed, a copy that failed, a file that cannot be read, lines that cannot.
QStringList settingsFileNotices();

// At start-up: writes the default of every missing value, then reads all twenty. A file with
// lines that cannot be read gets nothing written, and one that cannot be read at all gives the
// defaults.
void startupLoad();

// The groups of the main window and the practices. The position raises a failure when the file
// cannot be read; the loads say whether the key could be opened.
void writeWindowPosition();
bool loadPranayamaSettings();
void loadKevaliSettings();

} // namespace store
} // namespace tolvane

namespace tolvane::store {

// What the Pranayama settings dialog stores beside the flags it sets on the settings record: the
// durations and the total from its boxes, and the increment period when one was typed.
struct PranayamaChoice {
    std::int32_t rounds = 0;
    std::int32_t inhale = 0;
    std::int32_t checkOne = 0;
    std::int32_t exhale = 0;
    std::int32_t checkTwo = 0;
    double totalTime = 0;
    std::optional<std::int32_t> incrementDays;
};
// The Pranayama settings dialog's group, stored whole or, when the file cannot be read in full,
// not at all.
void writePranayamaSettings(const PranayamaChoice& choice);

// The Kevali settings dialog's group, taken from the settings record.
void writeKevaliSettings();

// What the rating works on, read into the settings record when the rating opens.
void loadRatingSettings();
// The round and the count the rating left on the settings record.
void writeRating();

// The automatic increment as stored, read from the store itself and not into the settings record,
// which a running practice may be using. Empty when the settings cannot be read.
struct StoredIncrement {
    bool on = false;
    std::int32_t easyCount = 0;
    std::int32_t period = 0;
};
std::optional<StoredIncrement> readStoredIncrement();

// The reminder's group. A value that is not stored reads as its default, so a file without them
// has no reminder; the load writes nothing.
void loadReminderSettings();
void writeReminderSettings();

} // namespace tolvane::store
