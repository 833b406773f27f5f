#include "profiles/profile_store.h"

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
    return mode == ScanRead::WithDefault ? settings.ReadINI(section, key, std::string_view())
                                         : settings.ReadINIPlain(section, key);
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
    for (int n = 1; n <= intMaxProfiles; ++n) {
        std::string name = settings.ReadINIPlain(keys::kProfiles, profileNameKey(n));
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

int findProfileSlotIgnoringCase(Settings& settings, std::string_view name, ScanRead mode) {
    Settings::Batch batch(settings);
    for (int n = 1; n <= intMaxProfiles; ++n)
        if (sameNameIgnoringCase(readValue(settings, keys::kProfiles, profileNameKey(n), mode), name))
            return n;
    return 0;
}

int findProfileSlotExact(Settings& settings, std::string_view section, std::string_view name, ScanRead mode) {
    Settings::Batch batch(settings);
    for (int n = 1; n <= intMaxProfiles; ++n)
        if (readValue(settings, section, profileNameKey(n), mode) == name)
            return n;
    return 0;
}

int findSlotForSave(Settings& settings, std::string_view name) {
    Settings::Batch batch(settings);
    int firstFree = 0;
    for (int n = 1; n <= intMaxProfiles; ++n) {
        std::string stored = settings.ReadINI(keys::kProfiles, profileNameKey(n), std::string_view());
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
    settings.WriteINI(keys::kProfiles, profileNameKey(slot), record.name);
    settings.WriteINI(keys::kProfiles, headerFileKey(slot), record.headerFile);
    settings.WriteINI(keys::kProfiles, footerFileKey(slot), record.footerFile);
    settings.WriteINI(keys::kProfiles, sigFileKey(slot), record.sigFile);
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
    state.strHeaderFile = record.headerFile;
    state.strFooterFile = record.footerFile;
    state.strSigFile = record.sigFile;
}

SignatureState signatureStateFor(Settings& settings, const ProfileRecord& record) {
    SignatureState state;
    applyProfile(state, record);
    state.strSeparator =
        separatorFromSetting(settings.ReadINIPlain(keys::kSeparator.section, keys::kSeparator.key));
    state.blnAddDashes = readFlagPlain(settings, keys::kAddDashes);
    return state;
}

} // namespace quillmark

namespace quillmark {

namespace {

// Longest value the settings file gives back whole.

} // namespace

Status checkProfileName(std::string_view name) {
    if (name.find_first_not_of(" \t") == std::string_view::npos)
        return Error{ErrorCode::InvalidInput, "A profile needs a name that is more than blanks."};
    // The name is stored as typed; one the file would give back otherwise is refused rather
    // than quietly changed.
    if (Status storable = checkStorableValue(name); !storable)
        return Error{ErrorCode::InvalidInput,
                     "This profile name cannot be stored: " + storable.message() + "."};
    return {};
}

int usedProfileSlots(Settings& settings) {
    return static_cast<int>(listProfileNames(settings).size());
}

} // namespace quillmark
