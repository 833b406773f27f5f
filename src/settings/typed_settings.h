#pragma once
// Typed reads and writes of the settings table: a flag is a bool, a text is a string, and
// the section, key and default come from the table, never from a string typed twice.

#include "settings/setting_keys.h"
#include "settings/settings.h"

#include <string>
#include <string_view>

namespace quillmark {

// The value with the table's default (written back when missing or empty).
std::string readText(Settings& s, const keys::SettingKey& k);
// A flag is off only when the file says "0" or "False"; any other value counts as on,
// as the program has always read it. The default is written back when missing.
bool readFlag(Settings& s, const keys::SettingKey& k);
// Stores "True" or "False".
void writeFlag(Settings& s, const keys::SettingKey& k, bool v);
void writeText(Settings& s, const keys::SettingKey& k, std::string_view v);

// The same reads for a caller that must never write the settings file (quillmark-cli):
// a missing or empty value gives the table's default and nothing is written.
std::string readTextPlain(Settings& s, const keys::SettingKey& k);
bool readFlagPlain(Settings& s, const keys::SettingKey& k);

} // namespace quillmark
