// quillmark-cli: Quillmark's signature engine, profiles and text cipher for the command line.
#include "cli/crypt_command.h"
#include "cli/exit_status.h"
#include "cli/next_command.h"
#include "cli/profile_command.h"
#include "platform/app_folders.h"
#include "platform/command_line.h"
#include "platform/sample_files.h"
#include "signature/random.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

using namespace quillmark;

namespace {

constexpr const char* kCryptFooter =
    "Reads a text from standard input and writes the encoded or decoded text to standard output.\n"
    "The password method puts the begin and end lines around what it encrypts and removes them\n"
    "before it decrypts. It keeps a casual reader out; it is no protection against anyone who\n"
    "tries. The password is never taken from the command line, where other users of the machine\n"
    "could see it; only the password file's first line is read, up to 64 KB.";

constexpr const char* kStatusFooter =
    "Exit status: 0 success; 1 a file could not be read or written; 2 a usage error or an\n"
    "unknown profile.";

// Every subcommand's options, filled by the parse.
struct Arguments {
    NextOptions next;
    std::optional<std::string> name;
    ProfileAddOptions add;
    CryptOptions crypt; // encrypt's or decrypt's: only one of them runs
};

void addCryptOptions(CLI::App& command, CryptOptions& options) {
    auto* rot = command.add_option("--rot", options.rot, "rotate the letters A-Z and a-z by N (1 to 26)")
                    ->type_name("N");
    auto* file = command
                     .add_option("--password-file", options.passwordFile,
                                 "password method; the password is the first line of FILE")
                     ->type_name("FILE");
    auto* env = command
                    .add_option("--password-env", options.passwordEnv,
                                "password method; the password is the environment variable NAME")
                    ->type_name("NAME");
    rot->excludes(file)->excludes(env);
    file->excludes(env);
    command.footer(kCryptFooter);
}

// "profile add|remove|show|use".
void addProfileCommands(CLI::App& app, Arguments& a) {
    auto* profile = app.add_subcommand("profile", "add, remove, show or choose a profile");
    profile->require_subcommand(1);
    auto* add = profile->add_subcommand("add", "add a profile and make it the current one");
    add->add_option("NAME", a.add.name, "the profile's name")->required();
    add->add_option("--header", a.add.headerFile, "the header file (top sections of the signature)")
        ->required()
        ->type_name("FILE");
    add->add_option("--footer", a.add.footerFile, "the footer file (bottom sections of the signature)")
        ->required()
        ->type_name("FILE");
    add->add_option("--output", a.add.sigFile,
                    "where the signature is written (default: sig.txt in the signature folder)")
        ->type_name("FILE");
    auto* remove =
        profile->add_subcommand("remove", "delete a profile; the first remaining one becomes current");
    remove->add_option("NAME", a.name, "the profile's name")->required();
    auto* show = profile->add_subcommand("show", "print a profile's header, footer and output paths");
    show->add_option("NAME", a.name, "the profile's name (default: the one Quillmark uses now)");
    auto* use = profile->add_subcommand("use", "make a profile the one Quillmark starts with and next uses");
    use->add_option("NAME", a.name, "the profile's name")->required();
}

// The exit status when the run ends with the parse: help, the version or a usage error.
std::optional<int> parseCommandLine(CLI::App& app, int argc, char** argv) {
    // CLI11 would only say that a command is missing.
    const std::vector<CLI::App*> commands = app.get_subcommands({});
    if (argc > 1 && argv[1][0] != '-' &&
        std::none_of(commands.begin(), commands.end(),
                     [&](const CLI::App* c) { return c->get_name() == argv[1]; })) {
        std::cerr << "quillmark-cli: unknown command '" << argv[1] << "' (see --help)\n";
        return kExitUsageError;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForVersion& e) {
        std::cout << e.what() << '\n';
        return kExitSuccess;
    } catch (const CLI::Success& e) { // --help and --help-all
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "quillmark-cli: " << e.what() << " (see --help)\n";
        return kExitUsageError;
    }
    return std::nullopt;
}

int runCommand(const CLI::App& app, Arguments& a) {
    const std::string settings = settingsFilePath();
    ClockSeededRandom random;
    if (app.got_subcommand("next"))
        return runNextCommand(a.next, settings, sampleSigsFolder(executableFolder()), random, std::cout,
                              std::cerr);
    if (app.got_subcommand("profiles"))
        return runProfilesCommand(settings, std::cout, std::cerr);
    if (const CLI::App* profile = app.get_subcommand("profile"); profile->parsed()) {
        if (profile->got_subcommand("add"))
            return runProfileAdd(a.add, settings, random, std::cout, std::cerr);
        if (profile->got_subcommand("remove"))
            return runProfileRemove(a.name.value_or(std::string()), settings, std::cout, std::cerr);
        if (profile->got_subcommand("show"))
            return runProfileShow(a.name, settings, std::cout, std::cerr);
        return runProfileUse(a.name.value_or(std::string()), settings, std::cout, std::cerr);
    }
    a.crypt.encrypt = app.got_subcommand("encrypt");
    return runCryptCommand(a.crypt, std::cin, std::cout, std::cerr);
}

int run(int argc, char** argv) {
    CLI::App app{"Quillmark's signature engine, profiles and text cipher for the command line.",
                 "quillmark-cli"};
    app.set_version_flag("--version", "quillmark-cli " QUILLMARK_VERSION);
    app.require_subcommand(1);
    app.footer(kStatusFooter);
    Arguments a;

    auto* next =
        app.add_subcommand("next", "write a new signature to the profile's output file and print it");
    next->add_option("--profile", a.next.profile, "the profile to use (default: the one Quillmark uses now)")
        ->type_name("NAME");
    auto* dashes = next->add_flag_callback(
        "--dashes", [&a] { a.next.dashes = true; }, "put a \"-- \" line above the signature this time");
    next->add_flag_callback(
            "--no-dashes", [&a] { a.next.dashes = false; }, "no \"-- \" line this time")
        ->excludes(dashes);
    next->add_flag("--blank-line", a.next.blankLineFirst, "begin with an empty line");
    next->footer("With no profile yet, the signature comes from the sample header.txt and footer.txt\n"
                 "of the signature folder and goes to sig.txt there.");
    app.add_subcommand("profiles", "list the profile names, one per line");
    addProfileCommands(app, a);
    addCryptOptions(*app.add_subcommand("encrypt", "encrypt standard input to standard output"), a.crypt);
    addCryptOptions(*app.add_subcommand("decrypt", "decrypt standard input to standard output"), a.crypt);

    if (const std::optional<int> ended = parseCommandLine(app, argc, argv))
        return *ended;
    return runCommand(app, a);
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Names and paths may hold any letter; the commands take them in UTF-8.
    std::vector<std::string> arguments = utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    const int status = run(static_cast<int>(arguments.size()), pointers.data());
    // Help and version text that never arrived is a failure too.
    std::cout.flush();
    if (status == kExitSuccess && !std::cout) {
        std::cerr << "quillmark-cli: cannot write to standard output\n";
        return kExitFileError;
    }
    return status;
}
