#include "cli/next_command.h"

#include "cli/exit_status.h"
#include "platform/app_folders.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/sample_files.h"
#include "profiles/profile_store.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "signature/compose.h"
#include "signature/entry_index.h"
#include "signature/random.h"

#include <filesystem>
#include <ostream>

namespace quillmark {

namespace {

bool isFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(toFsPath(path), ec);
}

// The profile Quillmark starts with; on a first run without the desktop, the samples,
// which give a signature at once. Nothing when there are neither (the user is told).
std::optional<SignatureState> startupState(Settings& settings, const std::string& sampleFolder,
                                           std::ostream& err) {
    const std::string name = resolveStartupProfile(settings, ScanRead::Plain);
    const int slot =
        name.empty() ? 0 : findProfileSlotExact(settings, keys::kProfiles, name, ScanRead::Plain);
    if (slot != 0)
        return signatureStateFor(settings, readProfileSlot(settings, keys::kProfiles, slot, ScanRead::Plain));
    const std::string folder = signatureFolder(settings);
    const bool copied = copyMissingFiles(sampleFolder, folder) > 0;
    const std::string base = folder + kPathSeparator;
    SignatureState state =
        signatureStateFor(settings, {{}, base + "header.txt", base + "footer.txt", base + "sig.txt"});
    if (!isFile(state.headerFile) && !isFile(state.footerFile)) {
        err << "quillmark-cli next: there is no profile yet and no sample files in " << folder
            << "; create a profile with 'quillmark-cli profile add'\n";
        return std::nullopt;
    }
    // Said once, when the samples arrive: a mail program may run this for every message.
    if (copied)
        err << "quillmark-cli next: no profile yet, so this signature comes from the samples in " << folder
            << "; make your own with 'quillmark-cli profile add NAME --header FILE --footer FILE'\n";
    return state;
}

// Draws, writes and prints the signature through the entry index; returns the exit status.
int printSignature(SignatureState state, const NextOptions& options, RandomSource& random, std::ostream& out,
                   std::ostream& err) {
    state.addDashes = options.dashes.value_or(state.addDashes);
    state.blankLineFirst = options.blankLineFirst;
    const std::string indexFolder = cacheFolder();
    const SignatureUpdate update =
        updateSignatureFromFiles(state, random,
                                 [&indexFolder](const std::string& path, std::string_view separator,
                                                const EntryList& fallback, RandomSource& source) {
                                     return pickEntryIndexed(path, separator, fallback, source, indexFolder);
                                 });
    tidyEntryIndexFolder(indexFolder);
    int status = kExitSuccess;
    for (const Error& failure : update.readFailures) {
        err << "quillmark-cli next: " << failure.message << '\n';
        status = kExitFileError;
    }
    if (update.composed) {
        out << update.signature << kLineEnd;
        if (!update.write.ok()) {
            err << "quillmark-cli next: " << update.write.message() << '\n';
            status = kExitFileError;
        }
    }
    return finishOutput(out, err, "next") ? status : kExitFileError;
}

} // namespace

// A settings file that is there but cannot be read must not pass for one without profiles.
bool settingsReadable(Settings& settings, const char* command, std::ostream& err) {
    const Status readable = settings.readable();
    if (!readable)
        err << "quillmark-cli " << command << ": cannot read the settings file: " << readable.message()
            << '\n';
    return readable.ok();
}

// A mail program that got nothing (a full disk, a closed pipe) must learn it from the status.
bool finishOutput(std::ostream& out, std::ostream& err, const char* command) {
    out.flush();
    if (!out)
        err << "quillmark-cli " << command << ": cannot write to standard output\n";
    return static_cast<bool>(out);
}

int runNextCommand(const NextOptions& options, const std::string& settingsPath,
                   const std::string& sampleFolder, RandomSource& random, std::ostream& out,
                   std::ostream& err) {
    Settings settings(settingsPath);
    // One look at the file for the whole run; the command only reads.
    Settings::Batch batch(settings);
    if (!settingsReadable(settings, "next", err))
        return kExitFileError;
    const std::optional<std::string>& profile = options.profile;
    if (!profile) {
        const std::optional<SignatureState> state = startupState(settings, sampleFolder, err);
        return state ? printSignature(*state, options, random, out, err) : kExitFileError;
    }
    const int slot = profile->empty() ? 0 : findProfileSlotIgnoringCase(settings, *profile, ScanRead::Plain);
    if (slot == 0) {
        err << "quillmark-cli next: no profile called '" << *profile << "'\n";
        return kExitUsageError;
    }
    const SignatureState state =
        signatureStateFor(settings, readProfileSlot(settings, keys::kProfiles, slot, ScanRead::Plain));
    return printSignature(state, options, random, out, err);
}

int runProfilesCommand(const std::string& settingsPath, std::ostream& out, std::ostream& err) {
    Settings settings(settingsPath);
    Settings::Batch batch(settings);
    if (!settingsReadable(settings, "profiles", err))
        return kExitFileError;
    for (const std::string& name : listProfileNames(settings))
        out << name << '\n';
    return finishOutput(out, err, "profiles") ? kExitSuccess : kExitFileError;
}

} // namespace quillmark
