// Rewrites a settings file and a signature file, for a test that kills it at random moments.
//   crash_writer loop FOLDER    writes version after version until killed
//   crash_writer once FOLDER    writes the next version and exits
//   crash_writer check FOLDER   prints "settings=S leftovers=L", or what is broken (exit 1)
// Every version carries its number in the first and the last setting, in each filler value
// and in every line of the signature, so a file cut short or mixed from two versions shows.
#include "platform/file_io.h"
#include "settings/settings.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace quillmark;

std::string filler(const std::string& version, int key) {
    return "v" + version + "k" + std::to_string(key) + std::string(200, ':');
}

std::string signature(const std::string& version) {
    std::string text;
    for (int line = 0; line < 400; ++line)
        text += "Signature line " + std::to_string(line) + " of version " + version + "\n";
    return text;
}

int check(const std::string& folder) {
    Settings settings(folder + "/Quillmark.INI");
    const std::string version = settings.readIniPlain("CRASH", "COUNTER");
    bool whole = !version.empty() && settings.readIniPlain("TRAILER", "COUNTER") == version;
    for (int key = 0; whole && key < 60; ++key)
        whole = settings.readIniPlain("FILLER", "KEY_" + std::to_string(key)) == filler(version, key);
    // The signature of a version is written after its settings.
    const Result<std::string> read = readFile(folder + "/sig.txt");
    const std::string sig = read.ok() ? *read : std::string();
    const std::string previous = std::to_string(std::stoll("0" + version) - 1);
    if (!whole || (sig != signature(version) && sig != signature(previous))) {
        std::printf("not whole: settings version \"%s\", signature of %zu bytes\n", version.c_str(),
                    sig.size());
        return 1;
    }
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        // The settings lock file stays by design; a killed holder's lock ends with it.
        leftovers += name != "Quillmark.INI" && name != "sig.txt" && name != "Quillmark.INI.lock";
    }
    std::printf("settings=%s leftovers=%d\n", version.c_str(), leftovers);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const std::string mode = argv[1], folder = argv[2];
    if (mode == "check")
        return check(folder);
    Settings settings(folder + "/Quillmark.INI");
    long long next = std::stoll("0" + settings.readIniPlain("CRASH", "COUNTER")) + 1;
    do {
        const std::string version = std::to_string(next++);
        {
            Settings::Batch batch(settings);
            settings.writeIni("CRASH", "COUNTER", version);
            for (int key = 0; key < 60; ++key)
                settings.writeIni("FILLER", "KEY_" + std::to_string(key), filler(version, key));
            settings.writeIni("TRAILER", "COUNTER", version);
        }
        if (settings.readIniPlain("TRAILER", "COUNTER") != version ||
            !writeFileAtomic(folder + "/sig.txt", signature(version), Durability::Replace).ok())
            return 1;
    } while (mode == "loop");
    return 0;
}
