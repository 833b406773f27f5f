// Rewrites a settings file and a signature file, for a test that kills it at random
// moments and then checks that both files are whole.
//
//   crash_writer loop FOLDER    writes version after version until killed
//   crash_writer once FOLDER    writes the next version and exits
//   crash_writer check FOLDER   prints "settings=S signature=V leftovers=L", or what is
//                               broken (exit 1)
//
// Every version carries its number in the first and the last setting, in each filler
// value and in every line of the signature, so a file cut short or mixed from two
// versions shows at once. Errors of the writes go to FOLDER/../crash_writer.log.

#include "platform/error_handler.h"
#include "platform/file_io.h"
#include "settings/settings.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace quillmark;

constexpr int kFillerKeys = 60;
constexpr int kSignatureLines = 400;
constexpr std::string_view kSettingsName = "Quillmark.INI";
constexpr std::string_view kSignatureName = "sig.txt";

std::string fillerValue(long long version, int key) {
    std::string value = "v" + std::to_string(version) + "k" + std::to_string(key) + ":";
    while (value.size() < 200)
        value += "abcdefghij";
    return value;
}

std::string signature(long long version) {
    std::string text;
    for (int line = 0; line < kSignatureLines; ++line)
        text += "Signature line " + std::to_string(line) + " of version " + std::to_string(version) + "\n";
    return text + "-- end of version " + std::to_string(version) + " --\n";
}

bool writeVersion(Settings& settings, const std::string& signaturePath, long long version) {
    {
        Settings::Batch batch(settings);
        settings.writeIni("CRASH", "COUNTER", version);
        for (int key = 0; key < kFillerKeys; ++key)
            settings.writeIni("FILLER", "KEY_" + std::to_string(key), fillerValue(version, key));
        settings.writeIni("TRAILER", "COUNTER", version);
    }
    // A failed settings write lands in the error log, which the test checks.
    Status status = writeFileAtomic(signaturePath, signature(version), Durability::Replace);
    if (!status.ok())
        logError("crash_writer", status.message());
    return status.ok();
}

// The version a file holds, or -1 with the reason printed when it is not whole.
long long checkSettings(const std::string& path) {
    Settings settings(path);
    const std::string counter = settings.readIniPlain("CRASH", "COUNTER");
    if (counter.empty() || settings.readIniPlain("TRAILER", "COUNTER") != counter) {
        std::printf("settings file not whole: counter \"%s\", trailer \"%s\"\n", counter.c_str(),
                    settings.readIniPlain("TRAILER", "COUNTER").c_str());
        return -1;
    }
    const long long version = std::stoll(counter);
    for (int key = 0; key < kFillerKeys; ++key) {
        if (settings.readIniPlain("FILLER", "KEY_" + std::to_string(key)) != fillerValue(version, key)) {
            std::printf("settings file mixes versions: key %d of version %lld\n", key, version);
            return -1;
        }
    }
    return version;
}

long long checkSignature(const std::string& path) {
    Result<std::string> bytes = readFile(path);
    if (!bytes.ok()) {
        std::printf("signature unreadable: %s\n", bytes.message().c_str());
        return -1;
    }
    const std::string& text = *bytes;
    const auto marker = text.rfind("-- end of version ");
    if (marker == std::string::npos) {
        std::printf("signature not whole: %zu bytes without the end line\n", text.size());
        return -1;
    }
    const long long version = std::stoll(text.substr(marker + 18));
    if (text != signature(version)) {
        std::printf("signature of version %lld differs from what was written\n", version);
        return -1;
    }
    return version;
}

int check(const std::string& folder) {
    const long long settings = checkSettings(folder + "/" + std::string(kSettingsName));
    const long long sig = checkSignature(folder + "/" + std::string(kSignatureName));
    if (settings < 0 || sig < 0)
        return 1;
    // The signature of a version is written after its settings.
    if (sig != settings && sig != settings - 1) {
        std::printf("signature version %lld does not follow settings version %lld\n", sig, settings);
        return 1;
    }
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        // The settings lock file stays by design; a killed holder's lock ends with it.
        if (name != kSettingsName && name != kSignatureName && name != std::string(kSettingsName) + ".lock")
            ++leftovers;
    }
    std::printf("settings=%lld signature=%lld leftovers=%d\n", settings, sig, leftovers);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: crash_writer loop|once|check FOLDER\n");
        return 2;
    }
    const std::string mode = argv[1];
    const std::string folder = argv[2];
    if (mode == "check")
        return check(folder);

    setErrorLogPath(folder + "/../crash_writer.log");
    Settings settings(folder + "/" + std::string(kSettingsName));
    const std::string signaturePath = folder + "/" + std::string(kSignatureName);
    const std::string last = settings.readIniPlain("CRASH", "COUNTER");
    long long version = last.empty() ? 1 : std::stoll(last) + 1;
    do {
        if (!writeVersion(settings, signaturePath, version++))
            return 1;
    } while (mode == "loop");
    return 0;
}
