#include "cli/crypt_command.h"

#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "platform/app_folders.h"
#include "platform/file_io.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <optional>
#include <ostream>

namespace quillmark {

namespace {

constexpr int kUsageError = 2;
constexpr int kIoError = 1;

constexpr const char* kUsage =
    "usage: quillmark-cli encrypt|decrypt (--rot N | --password-file FILE | --password-env NAME)\n"
    "\n"
    "Reads a text from standard input and writes the encoded or decoded text to standard output.\n"
    "\n"
    "  --rot N               rotate the letters A-Z and a-z by N (a whole number from 1 to 26)\n"
    "  --password-file FILE  password method; the password is the first line of FILE\n"
    "  --password-env NAME   password method; the password is the environment variable NAME\n"
    "\n"
    "The password method puts the begin and end lines around what it encrypts and removes\n"
    "them before it decrypts. It keeps a casual reader out; it is no protection against\n"
    "anyone who tries. The password is never taken from the command line, where other users\n"
    "of the machine could see it.\n"
    "\n"
    "Only the password file's first line is read, up to 64 KB. Exit status: 0 on success; 2 for\n"
    "a usage error, a password file that does not exist or whose first line is empty or longer\n"
    "than 64 KB; 1 when standard input, the password file or standard output cannot be read or\n"
    "written.\n";

// One method option, as parsed: either a rotation amount or a password.
struct Method {
    std::optional<int> rot;
    std::string password;
};

int usageError(std::ostream& err, const std::string& message) {
    err << "quillmark-cli: " << message << " (see --help)\n";
    return kUsageError;
}

std::optional<int> parseRotation(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 1 || value > 26)
        return std::nullopt;
    return value;
}

// A password is a line typed by a person; a longer "line" is the wrong file (a device
// such as /dev/zero would never end).
constexpr std::size_t kMaxPasswordLine = 64 * 1024;

// The first line of the file, without its line end; reads no further than that line.
// TooLarge when the line is longer than kMaxPasswordLine.
Result<std::string> readPasswordLine(const std::string& path) {
    FileReader reader;
    if (Status opened = reader.open(path); !opened)
        return opened.error();
    std::string line;
    char chunk[4096];
    while (true) {
        const Result<std::size_t> got = reader.read(chunk, sizeof chunk);
        if (!got)
            return got.error();
        const std::string_view piece(chunk, *got);
        const std::size_t end = piece.find_first_of("\r\n");
        line.append(piece.substr(0, end));
        if (line.size() > kMaxPasswordLine)
            return Error{ErrorCode::TooLarge, "the first line of " + path + " is longer than 64 KB"};
        if (end != std::string_view::npos || *got < sizeof chunk)
            return line;
    }
}

// Standard input whole. Read through istream::read, which turns a failing read (standard
// input is a folder, an I/O error) into the stream's bad state instead of an exception.
std::optional<std::string> readAll(std::istream& in) {
    std::string input;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        input.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return input;
}

} // namespace

int runCryptCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        out << kUsage;
        return 0;
    }
    if (args.empty() || (args[0] != "encrypt" && args[0] != "decrypt"))
        return usageError(err, "the first argument must be encrypt or decrypt");
    const bool encrypt = args[0] == "encrypt";

    std::optional<Method> method;
    for (std::size_t i = 1; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (option != "--rot" && option != "--password-file" && option != "--password-env")
            return usageError(err, "unknown argument '" + option + "'");
        if (method)
            return usageError(err, "give exactly one of --rot, --password-file, --password-env");
        if (i + 1 >= args.size())
            return usageError(err, option + " needs a value");
        const std::string& value = args[i + 1];

        Method m;
        if (option == "--rot") {
            m.rot = parseRotation(value);
            if (!m.rot)
                return usageError(err, "--rot needs a whole number from 1 to 26, not '" + value + "'");
        } else if (option == "--password-file") {
            Result<std::string> line = readPasswordLine(value);
            if (!line && line.code() != ErrorCode::NotFound && line.code() != ErrorCode::PathNotFound &&
                line.code() != ErrorCode::TooLarge) {
                err << "quillmark-cli: cannot read the password file: " << line.message() << '\n';
                return kIoError;
            }
            if (!line)
                return usageError(err, "unusable password file: " + line.message());
            m.password = std::move(line).value();
            if (m.password.empty())
                return usageError(err, "the first line of '" + value + "' is empty; no password");
        } else {
            m.password = environmentValue(value.c_str());
            if (m.password.empty())
                return usageError(err, "the environment variable '" + value + "' is unset or empty");
        }
        method = std::move(m);
    }
    if (!method)
        return usageError(err, "missing --rot, --password-file or --password-env");

    const std::optional<std::string> read = readAll(in);
    if (!read) {
        err << "quillmark-cli: cannot read standard input\n";
        return kIoError;
    }
    const std::string& input = *read;

    std::string result;
    if (method->rot)
        result = encrypt ? RotEncode(input, *method->rot) : RotDecode(input, *method->rot);
    else if (encrypt)
        result = WrapEncrypted(EncryptText(input, method->password));
    else
        result = DecryptText(UnwrapEncrypted(input), method->password);

    out.write(result.data(), static_cast<std::streamsize>(result.size()));
    out.flush();
    if (!out) {
        err << "quillmark-cli: cannot write the result\n";
        return kIoError;
    }
    return 0;
}

} // namespace quillmark
