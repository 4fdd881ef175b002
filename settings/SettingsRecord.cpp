#include "settings/SettingsRecord.h"

namespace tolvane {

SettingsRecord settings;

} // namespace tolvane
