#include "profiles/profile_store.h"

#include "platform/app_folders.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "settings/ini_file.h"
#include "settings/name_case.h"
#include "settings/setting_keys.h"
#include "settings/typed_settings.h"
#include "signature/separator.h"

#include <algorithm>

namespace quillmark {

namespace {

std::string slotKey(std::string_view fixed, int slot) {
    return std::string(fixed) + std::to_string(slot);
}

std::string readValue(Settings& settings, std::string_view section, std::string_view key, ScanRead mode) {
    return mode == ScanRead::WithDefault ? settings.readIni(section, key, std::string_view())
                                         : settings.readIniPlain(section, key);
}

Error noRoom() {
    return {ErrorCode::InvalidInput, "there is no room for another profile: all " +
                                         std::to_string(kMaxProfiles) + " profiles are in use"};
}

} // namespace

std::string profileNameKey(int slot) {
    return slotKey("Profile ", slot);
}
std::string headerFileKey(int slot) {
    return slotKey("Header File ", slot);
}
std::string footerFileKey(int slot) {
    return slotKey("Footer File ", slot);
}
std::string sigFileKey(int slot) {
    return slotKey("Sig File ", slot);
}

std::vector<std::string> listProfileNames(Settings& settings) {
    std::vector<std::string> names;
    for (int n = 1; n <= kMaxProfiles; ++n) {
        std::string name = settings.readIniPlain(keys::kProfiles, profileNameKey(n));
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

int findProfileSlotIgnoringCase(Settings& settings, std::string_view name, ScanRead mode) {
    Settings::Batch batch(settings);
    for (int n = 1; n <= kMaxProfiles; ++n)
        if (sameNameIgnoringCase(readValue(settings, keys::kProfiles, profileNameKey(n), mode), name))
            return n;
    return 0;
}

int findProfileSlotExact(Settings& settings, std::string_view section, std::string_view name, ScanRead mode) {
    Settings::Batch batch(settings);
    for (int n = 1; n <= kMaxProfiles; ++n)
        if (readValue(settings, section, profileNameKey(n), mode) == name)
            return n;
    return 0;
}

int findSlotForSave(Settings& settings, std::string_view name) {
    Settings::Batch batch(settings);
    int firstFree = 0;
    for (int n = 1; n <= kMaxProfiles; ++n) {
        std::string stored = settings.readIni(keys::kProfiles, profileNameKey(n), std::string_view());
        if (stored == name)
            return n;
        if (stored.empty() && firstFree == 0)
            firstFree = n;
    }
    return firstFree;
}

ProfileRecord readProfileSlot(Settings& settings, std::string_view section, int slot, ScanRead mode) {
    Settings::Batch batch(settings);
    ProfileRecord r;
    r.name = readValue(settings, section, profileNameKey(slot), mode);
    // A free slot gets no path lines written into it: selecting the empty name must not
    // grow the file by three lines for a profile that does not exist.
    const ScanRead pathMode = r.name.empty() ? ScanRead::Plain : mode;
    r.headerFile = readValue(settings, section, headerFileKey(slot), pathMode);
    r.footerFile = readValue(settings, section, footerFileKey(slot), pathMode);
    r.sigFile = readValue(settings, section, sigFileKey(slot), pathMode);
    return r;
}

void writeProfileSlot(Settings& settings, int slot, const ProfileRecord& record) {
    Settings::Batch batch(settings);
    settings.writeIni(keys::kProfiles, profileNameKey(slot), record.name);
    settings.writeIni(keys::kProfiles, headerFileKey(slot), record.headerFile);
    settings.writeIni(keys::kProfiles, footerFileKey(slot), record.footerFile);
    settings.writeIni(keys::kProfiles, sigFileKey(slot), record.sigFile);
}

std::string resolveStartupProfile(Settings& settings, ScanRead mode) {
    Settings::Batch batch(settings);
    std::string last = readValue(settings, keys::kLastProfile.section, keys::kLastProfile.key, mode);
    if (last.empty())
        last = readValue(settings, keys::kProfiles, profileNameKey(1), mode);
    std::vector<std::string> names = listProfileNames(settings);
    if (int slot = findProfileSlotIgnoringCase(settings, last, mode); slot != 0 && !last.empty()) {
        std::string stored = readValue(settings, keys::kProfiles, profileNameKey(slot), mode);
        if (std::find(names.begin(), names.end(), stored) != names.end())
            return stored;
    }
    return names.empty() ? std::string() : names.front();
}

void applyProfile(SignatureState& state, const ProfileRecord& record) {
    state.headerFile = record.headerFile;
    state.footerFile = record.footerFile;
    state.sigFile = record.sigFile;
}

SignatureState signatureStateFor(Settings& settings, const ProfileRecord& record) {
    SignatureState state;
    applyProfile(state, record);
    state.separator =
        separatorFromSetting(settings.readIniPlain(keys::kSeparator.section, keys::kSeparator.key));
    state.addDashes = readFlagPlain(settings, keys::kAddDashes);
    return state;
}

std::string signatureFolder(Settings& settings) {
    std::string folder = readTextPlain(settings, keys::kDefaultSigPath);
    if (folder.empty())
        folder = programFolder() + kPathSeparator + "Sigs";
    return stripTrailingBackslash(folder);
}

std::optional<ProfileRecord> readProfileSettings(Settings& settings, std::string_view name) {
    Settings::Transaction transaction(settings);
    const int slot = findProfileSlotIgnoringCase(settings, name);
    if (slot == 0)
        return std::nullopt;
    return readProfileSlot(settings, keys::kProfiles, slot);
}

std::optional<ProfileRecord> selectProfile(Settings& settings, std::string_view name) {
    Settings::Transaction transaction(settings);
    // The select has always addressed the section as "PROFILES"; it is the same section.
    std::optional<ProfileRecord> record;
    if (const int slot = findProfileSlotExact(settings, "PROFILES", name); slot != 0)
        record = readProfileSlot(settings, "PROFILES", slot);
    settings.writeIni(keys::kLastProfile.section, keys::kLastProfile.key, name);
    return record;
}

Status saveProfileSettings(Settings& settings, const ProfileRecord& copy) {
    Settings::Transaction transaction(settings);
    if (!transaction.status())
        return transaction.status();
    const int slot = findSlotForSave(settings, copy.name);
    if (slot == 0)
        return noRoom();
    writeProfileSlot(settings, slot, copy);
    selectProfile(settings, copy.name);
    return transaction.commit();
}

Status removeProfile(Settings& settings, std::string_view name, const ProfileRecord& editingCopy) {
    Settings::Transaction transaction(settings);
    if (!transaction.status())
        return transaction.status();
    for (int n = 1; n <= kMaxProfiles; ++n)
        if (settings.readIniPlain(keys::kProfiles, profileNameKey(n)) == name)
            writeProfileSlot(settings, n, {});
    ProfileRecord copy = editingCopy;
    copy.name.clear();
    // Every entry of that name leaves the list, so a second slot of the name cannot
    // bring the profile back with the paths of the first.
    if (const std::vector<std::string> names = listProfileNames(settings); !names.empty()) {
        copy.name = names.front();
        if (std::optional<ProfileRecord> first = readProfileSettings(settings, copy.name))
            copy = {copy.name, first->headerFile, first->footerFile, first->sigFile};
    }
    if (Status saved = saveProfileSettings(settings, copy); !saved)
        return saved;
    return transaction.commit();
}

Status addProfile(Settings& settings, const ProfileRecord& profile) {
    Settings::Transaction transaction(settings);
    if (!transaction.status())
        return transaction.status();
    if (profile.name.empty())
        return Error{ErrorCode::InvalidInput, "a profile needs a name"};
    const std::pair<const char*, const std::string*> values[] = {
        {"the name", &profile.name},
        {"the header file's path", &profile.headerFile},
        {"the footer file's path", &profile.footerFile},
        {"the output file's path", &profile.sigFile}};
    for (const auto& [what, value] : values)
        if (const Status storable = checkStorableValue(*value); !storable)
            return Error{ErrorCode::InvalidInput,
                         std::string(what) + " cannot be stored: " + storable.message()};
    const std::vector<std::string> names = listProfileNames(settings);
    for (const std::string& name : names)
        if (sameNameIgnoringCase(name, profile.name))
            return Error{ErrorCode::InvalidInput, "there is already a profile called '" + name + "'"};
    if (names.size() >= static_cast<std::size_t>(kMaxProfiles))
        return noRoom();
    static_cast<void>(readProfileSettings(settings, profile.name));
    if (Status saved = saveProfileSettings(settings, profile); !saved)
        return saved;
    return transaction.commit();
}

Status checkProfileName(std::string_view name) {
    if (name.find_first_not_of(" \t") == std::string_view::npos)
        return Error{ErrorCode::InvalidInput, "A profile needs a name that is more than blanks."};
    // Stored as typed: a name the file would give back otherwise is refused, not quietly changed.
    if (Status storable = checkStorableValue(name); !storable)
        return Error{ErrorCode::InvalidInput,
                     "This profile name cannot be stored: " + storable.message() + "."};
    return {};
}

int usedProfileSlots(Settings& settings) {
    return static_cast<int>(listProfileNames(settings).size());
}

} // namespace quillmark
