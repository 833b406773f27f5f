#include "settings/typed_settings.h"

namespace quillmark {

std::string readText(Settings& s, const keys::SettingKey& k) {
    return s.readIni(k.section, k.key, k.defaultValue);
}

bool readFlag(Settings& s, const keys::SettingKey& k) {
    // readIni already turns "False" into "0".
    return readText(s, k) != "0";
}

void writeFlag(Settings& s, const keys::SettingKey& k, bool v) {
    s.writeIni(k.section, k.key, v);
}

void writeText(Settings& s, const keys::SettingKey& k, std::string_view v) {
    s.writeIni(k.section, k.key, v);
}

std::string readTextPlain(Settings& s, const keys::SettingKey& k) {
    std::string value = s.readIniPlain(k.section, k.key);
    return value.empty() ? std::string(k.defaultValue) : value;
}

bool readFlagPlain(Settings& s, const keys::SettingKey& k) {
    // The stored "False" reads as "0"; a default of "False" comes from the table as it is.
    const std::string value = readTextPlain(s, k);
    return value != "0" && value != "False";
}

} // namespace quillmark
