// crash_writer loop|once|check FOLDER: rewrites settings and signature, each line naming its version.
#include "platform/file_io.h"
#include "settings/settings.h"

#include <cstdio>
#include <string>

namespace {

using namespace quillmark;

std::string signature(const std::string& version) {
    std::string text;
    for (int line = 0; line < 400; ++line)
        text += "Signature line " + std::to_string(line) + " of version " + version + "\n";
    return text;
}

int check(const std::string& folder) {
    Settings settings(folder + "/Quillmark.INI");
    const std::string version = settings.readIniPlain("CRASH", "KEY_0");
    bool whole = !version.empty();
    for (int n = 1; whole && n < 60; ++n)
        whole = settings.readIniPlain("CRASH", "KEY_" + std::to_string(n)) == version + std::string(200, ':');
    // The signature of a version is written after its settings.
    const Result<std::string> read = readFile(folder + "/sig.txt");
    const std::string sig = read.ok() ? *read : std::string();
    if (!whole || (sig != signature(version) && sig != signature(std::to_string(std::stoll(version) - 1)))) {
        std::printf("not whole: settings version \"%s\", signature of %zu bytes\n", version.c_str(),
                    sig.size());
        return 1;
    }
    std::printf("settings=%s\n", version.c_str());
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
    long long next = std::stoll("0" + settings.readIniPlain("CRASH", "KEY_0")) + 1;
    do {
        const std::string version = std::to_string(next++);
        {
            Settings::Batch batch(settings);
            for (int n = 59; n >= 0; --n) // the number last, so that it stands for the whole file
                settings.writeIni("CRASH", "KEY_" + std::to_string(n),
                                  n ? version + std::string(200, ':') : version);
        }
        if (!writeFileAtomic(folder + "/sig.txt", signature(version), Durability::Replace).ok())
            return 1;
    } while (mode == "loop");
    return 0;
}
