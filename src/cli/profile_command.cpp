#include "cli/profile_command.h"

#include "cli/exit_status.h"
#include "cli/next_command.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "profiles/profile_store.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "signature/compose.h"

#include <filesystem>
#include <ostream>

namespace quillmark {

namespace {

namespace fs = std::filesystem;

int fail(std::ostream& err, const char* command, const std::string& message, int status) {
    err << "quillmark-cli profile " << command << ": " << message << '\n';
    return status;
}

int statusOf(const Status& status, std::ostream& err, const char* command) {
    if (status)
        return kExitSuccess;
    return fail(err, command, status.message(),
                status.code() == ErrorCode::InvalidInput ? kExitUsageError : kExitFileError);
}

// The stored name the user means: the exact name when a slot holds it, else one ignoring case.
std::optional<std::string> storedName(Settings& settings, const std::string& name) {
    if (name.empty())
        return std::nullopt;
    int slot = findProfileSlotExact(settings, keys::kProfiles, name, ScanRead::Plain);
    if (slot == 0)
        slot = findProfileSlotIgnoringCase(settings, name, ScanRead::Plain);
    if (slot == 0)
        return std::nullopt;
    return settings.readIniPlain(keys::kProfiles, profileNameKey(slot));
}

} // namespace

int runProfileAdd(const ProfileAddOptions& options, const std::string& settingsPath, RandomSource& random,
                  std::ostream&, std::ostream& err) {
    Settings settings(settingsPath);
    if (!settingsReadable(settings, "profile add", err))
        return kExitFileError;
    ProfileRecord record{
        options.name, absolutePath(options.headerFile), absolutePath(options.footerFile), {}};
    record.sigFile = options.sigFile ? absolutePath(*options.sigFile)
                                     : signatureFolder(settings) + kPathSeparator + "sig.txt";

    // A path the settings file cannot hold is refused before any file is looked at.
    for (const std::string* path : {&record.headerFile, &record.footerFile, &record.sigFile})
        if (const Status storable = checkStorableValue(*path); !storable)
            return fail(err, "add",
                        "a path that cannot be stored in the settings file: " + storable.message(),
                        kExitUsageError);
    std::error_code ec;
    for (const std::string* source : {&record.headerFile, &record.footerFile})
        if (!fs::is_regular_file(toFsPath(*source), ec))
            return fail(err, "add", "no file at " + *source, kExitFileError);
    const fs::path outputFolder = toFsPath(record.sigFile).parent_path();
    // On a fresh account the signature folder is made by whichever command needs it first.
    if (!options.sigFile && !fs::is_directory(outputFolder, ec))
        if (const Status made = makeFolders(toUtf8Path(outputFolder)); !made)
            return fail(err, "add", made.message(), kExitFileError);
    if (fs::is_directory(toFsPath(record.sigFile), ec))
        return fail(err, "add", "the output file " + record.sigFile + " is a folder", kExitUsageError);
    if (!fs::is_directory(outputFolder, ec))
        return fail(err, "add", "the output file's folder " + toUtf8Path(outputFolder) + " does not exist",
                    kExitFileError);
    if (const Status distinct = checkOutputIsNoSource(record.sigFile, record.headerFile, record.footerFile);
        !distinct)
        return fail(err, "add", distinct.message(), kExitUsageError);
    if (const int added = statusOf(addProfile(settings, record), err, "add"); added != 0)
        return added;
    const SignatureUpdate first = updateSignatureFromFiles(signatureStateFor(settings, record), random);
    for (const Error& failure : first.readFailures)
        fail(err, "add", failure.message, kExitFileError);
    if (!first.write)
        fail(err, "add",
             "the profile was added, but its signature could not be written: " + first.write.message(),
             kExitFileError);
    return first.readFailures.empty() && first.write ? kExitSuccess : kExitFileError;
}

int runProfileRemove(const std::string& name, const std::string& settingsPath, std::ostream&,
                     std::ostream& err) {
    Settings settings(settingsPath);
    if (!settingsReadable(settings, "profile remove", err))
        return kExitFileError;
    Settings::Transaction transaction(settings);
    if (!transaction.status())
        return statusOf(transaction.status(), err, "remove");
    const std::optional<std::string> stored = storedName(settings, name);
    if (!stored)
        return fail(err, "remove", "no profile called '" + name + "'", kExitUsageError);
    // The tab deletes the selected profile: selecting it has read it into the boxes.
    const ProfileRecord copy = readProfileSettings(settings, *stored).value_or(ProfileRecord{});
    if (const Status removed = removeProfile(settings, *stored, copy); !removed)
        return statusOf(removed, err, "remove");
    return statusOf(transaction.commit(), err, "remove");
}

int runProfileShow(const std::optional<std::string>& name, const std::string& settingsPath, std::ostream& out,
                   std::ostream& err) {
    Settings settings(settingsPath);
    Settings::Batch batch(settings);
    if (!settingsReadable(settings, "profile show", err))
        return kExitFileError;
    const std::optional<std::string> stored =
        name ? storedName(settings, *name) : std::optional(resolveStartupProfile(settings, ScanRead::Plain));
    if (!stored || stored->empty())
        return fail(err, "show",
                    name ? "no profile called '" + *name + "'" : std::string("there is no profile yet"),
                    kExitUsageError);
    const int slot = findProfileSlotExact(settings, keys::kProfiles, *stored, ScanRead::Plain);
    const ProfileRecord record = readProfileSlot(settings, keys::kProfiles, slot, ScanRead::Plain);
    out << "header: " << record.headerFile << '\n'
        << "footer: " << record.footerFile << '\n'
        << "output: " << record.sigFile << '\n';
    return finishOutput(out, err, "profile show") ? kExitSuccess : kExitFileError;
}

int runProfileUse(const std::string& name, const std::string& settingsPath, std::ostream&,
                  std::ostream& err) {
    Settings settings(settingsPath);
    if (!settingsReadable(settings, "profile use", err))
        return kExitFileError;
    Settings::Transaction transaction(settings);
    if (!transaction.status())
        return statusOf(transaction.status(), err, "use");
    const std::optional<std::string> stored = storedName(settings, name);
    if (!stored)
        return fail(err, "use", "no profile called '" + name + "'", kExitUsageError);
    static_cast<void>(selectProfile(settings, *stored));
    return statusOf(transaction.commit(), err, "use");
}

} // namespace quillmark
