#include "cli/next_command.h"

#include "platform/platform.h"
#include "profiles/profile_store.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "signature/compose.h"
#include "signature/random.h"

#include <ostream>

namespace quillmark {

namespace {

constexpr const char* kNextUsage = "Usage: quillmark-cli next [--profile NAME]\n"
                                   "Writes a new signature to the profile's output file and prints it.\n"
                                   "Without --profile the profile Quillmark uses now is taken.\n";

constexpr const char* kProfilesUsage = "Usage: quillmark-cli profiles\n"
                                       "Prints the names of the profiles, one per line.\n";

bool isHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

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

} // namespace

int runNextCommand(const std::vector<std::string>& args, const std::string& settingsPath,
                   RandomSource& random, std::ostream& out, std::ostream& err) {
    std::string profile;
    bool profileGiven = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (isHelp(args[i])) {
            out << kNextUsage;
            return 0;
        }
        if (args[i] == "--profile" && i + 1 < args.size() && !profileGiven) {
            profile = args[++i];
            profileGiven = true;
        } else if (args[i].starts_with("--profile=") && !profileGiven) {
            profile = args[i].substr(10);
            profileGiven = true;
        } else {
            err << "quillmark-cli next: unexpected argument '" << args[i] << "' (see --help)\n";
            return 2;
        }
    }

    Settings settings(settingsPath);
    // One look at the file for the whole run; the command only reads.
    Settings::Batch batch(settings);
    if (!settingsReadable(settings, "next", err))
        return 1;
    int slot = 0;
    if (profileGiven) {
        slot = profile.empty() ? 0 : findProfileSlotIgnoringCase(settings, profile, ScanRead::Plain);
        if (slot == 0) {
            err << "quillmark-cli next: no profile called '" << profile << "'\n";
            return 2;
        }
    } else {
        const std::string name = resolveStartupProfile(settings, ScanRead::Plain);
        slot = name.empty() ? 0 : findProfileSlotExact(settings, keys::kProfiles, name, ScanRead::Plain);
        if (slot == 0) {
            err << "quillmark-cli next: there is no profile yet; create one in Quillmark first\n";
            return 2;
        }
    }

    const ProfileRecord record = readProfileSlot(settings, keys::kProfiles, slot, ScanRead::Plain);
    const SignatureState state = signatureStateFor(settings, record);

    // Reads each file only as far as the entry drawn, rather than building both lists.
    std::vector<Error> failures;
    const SignatureUpdate update = updateSignatureFromFiles(state, random, failures);
    int status = 0;
    for (const Error& failure : failures) {
        err << "quillmark-cli next: " << failure.message << '\n';
        status = 1;
    }
    if (update.composed) {
        out << update.signature << kLineEnd;
        if (!update.write.ok()) {
            err << "quillmark-cli next: " << update.write.message() << '\n';
            status = 1;
        }
    }
    return finishOutput(out, err, "next") ? status : 1;
}

int runProfilesCommand(const std::vector<std::string>& args, const std::string& settingsPath,
                       std::ostream& out, std::ostream& err) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (isHelp(args[i])) {
            out << kProfilesUsage;
            return 0;
        }
        err << "quillmark-cli profiles: unexpected argument '" << args[i] << "' (see --help)\n";
        return 2;
    }
    Settings settings(settingsPath);
    Settings::Batch batch(settings);
    if (!settingsReadable(settings, "profiles", err))
        return 1;
    for (const std::string& name : listProfileNames(settings))
        out << name << '\n';
    return finishOutput(out, err, "profiles") ? 0 : 1;
}

} // namespace quillmark
