#pragma once
// Typed reads and writes of the settings table: a Boolean is a bool, not "-1" compared by
// hand, and every read writes the table's default when the key is missing.

#include "settings/setting_keys.h"
#include "settings/settings.h"

#include <string>
#include <string_view>

namespace quillmark {

inline std::string readText(Settings& settings, const keys::SettingKey& key) {
    return settings.ReadINI(key.section, key.key, key.defaultValue);
}

// Only "0" is false: "True" and "False" arrive as "-1" and "0", and any other value has
// always counted as set.
inline bool readFlag(Settings& settings, const keys::SettingKey& key) {
    return readText(settings, key) != "0";
}

inline void writeFlag(Settings& settings, const keys::SettingKey& key, bool value) {
    settings.WriteINI(key.section, key.key, value);
}

inline void writeText(Settings& settings, const keys::SettingKey& key, std::string_view value) {
    settings.WriteINI(key.section, key.key, value);
}

} // namespace quillmark
