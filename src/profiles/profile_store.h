#pragma once
// The profile records in the settings file: 64 numbered slots in section "Profiles", each
// with a name, a header, a footer and an output file. An empty name is a free slot.

#include "base/result.h"
#include "settings/settings.h"
#include "signature/compose.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

inline constexpr int kMaxProfiles = 64;

std::string profileNameKey(int slot); // "Profile n"
std::string headerFileKey(int slot);  // "Header File n"
std::string footerFileKey(int slot);  // "Footer File n"
std::string sigFileKey(int slot);     // "Sig File n"

struct ProfileRecord {
    std::string name;
    std::string headerFile;
    std::string footerFile;
    std::string sigFile;
};

// How a scan reads: the program's scans read with default "" (leaving an empty name line
// in every slot they look at); the command-line tool never writes and reads plainly.
enum class ScanRead { WithDefault, Plain };

// Names of the used slots in slot order (plain reads: the listing writes nothing).
std::vector<std::string> listProfileNames(Settings& settings);

// First slot whose name equals `name` ignoring letter case, 0 when none.
int findProfileSlotIgnoringCase(Settings& settings, std::string_view name,
                                ScanRead mode = ScanRead::WithDefault);

// First slot whose name equals `name` exactly, 0 when none. The select reads the
// section as "PROFILES", which names the same section.
int findProfileSlotExact(Settings& settings, std::string_view section, std::string_view name,
                         ScanRead mode = ScanRead::WithDefault);

// Slot a save of `name` writes: the one holding it, else the lowest free one; 0 when all are taken.
int findSlotForSave(Settings& settings, std::string_view name);

// The slot's record, each key read with default "" (or plainly). The paths of a slot
// whose name is empty are always read plainly, so reading a free slot writes no path keys.
ProfileRecord readProfileSlot(Settings& settings, std::string_view section, int slot,
                              ScanRead mode = ScanRead::WithDefault);

// Writes the four keys of the slot in the order name, header, footer, sig.
void writeProfileSlot(Settings& settings, int slot, const ProfileRecord& record);

// The profile start-up makes current: "Last Profile" (else slot 1's name) matched ignoring case,
// as stored; else the first listed profile; empty when there is none.
std::string resolveStartupProfile(Settings& settings, ScanRead mode);

// Makes `record` the profile the engine writes (its three paths); the separator and the
// add-dashes flag stay as the window holds them.
void applyProfile(SignatureState& state, const ProfileRecord& record);

// What the signature engine works from while `record` is current: its paths, and the
// separator and add-dashes flag of the settings. Reads only; the entry lists are left
// empty. The window and quillmark-cli both build the state here.
SignatureState signatureStateFor(Settings& settings, const ProfileRecord& record);

// "Default Sig Path" without a trailing separator, else the program folder's "Sigs". Reads plainly.
std::string signatureFolder(Settings& settings);

// The Profiles tab's procedures as they change the settings file, shared with quillmark-cli.
// Each runs inside one Settings::Transaction, so what it decides from the file (the lowest
// free slot) cannot be changed by the other program before it writes.

// readProfileSettings' look-up: the first slot whose name matches ignoring case (read
// with default ""), with the name as stored; nothing when no slot holds it.
std::optional<ProfileRecord> readProfileSettings(Settings& settings, std::string_view name);

// selectProfile's share of the file: the record of the first slot named exactly `name`
// (section read as "PROFILES"), nothing when none; "Last Profile" becomes `name` either way.
std::optional<ProfileRecord> selectProfile(Settings& settings, std::string_view name);

// saveProfileSettings: stores the editing copy in the slot holding copy.name, else in
// the lowest free one, then selects it. An error, with nothing written, when all slots
// hold other profiles or the lock cannot be had.
Status saveProfileSettings(Settings& settings, const ProfileRecord& copy);

// The Delete command: frees every slot named exactly `name`; then the first remaining
// profile is read, saved and made current. With none left, the editing copy's paths are
// saved under the empty name and that becomes current, as the tab's boxes are saved.
Status removeProfile(Settings& settings, std::string_view name, const ProfileRecord& editingCopy);

// A new profile, as the tab's New command and the save that follows make it. Refuses with
// InvalidInput, nothing written, a name present in any letter case, a 65th profile, and a
// name or path that the settings file would not give back unchanged.
Status addProfile(Settings& settings, const ProfileRecord& profile);

// Whether `name` can be a profile's name: more than blanks, and a value the settings file
// gives back exactly as typed (checkStorableValue), or the profile would come back under
// another name (or as a free slot) after a restart. The message says why not.
Status checkProfileName(std::string_view name);

int usedProfileSlots(Settings& settings);

} // namespace quillmark
