#pragma once
// Typed reads and writes of the settings in the table of setting_keys.h: a caller names
// the setting once and gets a Boolean as a bool.

#include "settings/setting_keys.h"
#include "settings/settings.h"

#include <string>
#include <string_view>

namespace quillmark {

// The value, or the table's default (written back) when the key is missing or empty.
inline std::string readText(Settings& settings, const keys::SettingKey& key) {
    return settings.ReadINI(key.section, key.key, key.defaultValue);
}

// Set unless the file says "0" (or "False", which reads as "0").
inline bool readFlag(Settings& settings, const keys::SettingKey& key) {
    return readText(settings, key) != "0";
}

// Writes "True" or "False".
inline void writeFlag(Settings& settings, const keys::SettingKey& key, bool value) {
    settings.WriteINI(key.section, key.key, value);
}

inline void writeText(Settings& settings, const keys::SettingKey& key, std::string_view value) {
    settings.WriteINI(key.section, key.key, value);
}

} // namespace quillmark
