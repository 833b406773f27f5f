// quillmark-cli: Quillmark's signature engine and text cipher for the command line.
#include "cli/crypt_command.h"
#include "cli/next_command.h"
#include "platform/app_folders.h"
#include "signature/random.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: quillmark-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  next [--profile NAME]   write a new signature to the profile's output file and print it\n"
    "  profiles                list the profile names\n"
    "  encrypt METHOD          encrypt standard input to standard output\n"
    "  decrypt METHOD          decrypt standard input to standard output\n"
    "                          METHOD: --rot N | --password-file FILE | --password-env NAME\n"
    "\n"
    "'quillmark-cli COMMAND --help' tells more about a command.\n";

} // namespace

namespace {

int runCommand(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string& command = args.front();
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "quillmark-cli " QUILLMARK_VERSION "\n";
        return 0;
    }
    if (command == "next") {
        quillmark::ClockSeededRandom random;
        return quillmark::runNextCommand(args, quillmark::settingsFilePath(), random, std::cout, std::cerr);
    }
    if (command == "profiles")
        return quillmark::runProfilesCommand(args, quillmark::settingsFilePath(), std::cout, std::cerr);
    if (command == "encrypt" || command == "decrypt")
        return quillmark::runCryptCommand(args, std::cin, std::cout, std::cerr);
    std::cerr << "quillmark-cli: unknown command '" << command << "' (see --help)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const int status = runCommand(std::vector<std::string>(argv + 1, argv + argc));
    // Help and version text that never arrived is a failure too.
    std::cout.flush();
    if (status == 0 && !std::cout) {
        std::cerr << "quillmark-cli: cannot write to standard output\n";
        return 1;
    }
    return status;
}
