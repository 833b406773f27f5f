#include "cli/crypt_command.h"

#include "cli/exit_status.h"
#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "platform/app_folders.h"
#include "platform/file_io.h"

#include <charconv>
#include <istream>
#include <optional>
#include <ostream>

namespace quillmark {

namespace {

// One method option, as parsed: either a rotation amount or a password.
struct Method {
    std::optional<int> rot;
    std::string password;
};

int usageError(std::ostream& err, const std::string& message) {
    err << "quillmark-cli: " << message << " (see --help)\n";
    return kExitUsageError;
}

std::optional<int> parseRotation(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 1 || value > 26)
        return std::nullopt;
    return value;
}

// A password is a line typed by a person; a longer "line" is the wrong file (or /dev/zero).
constexpr std::size_t kMaxPasswordLine = 64 * 1024;

// The file's first line, without its line end, read no further; TooLarge above kMaxPasswordLine.
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

// Standard input whole, through istream::read: a failing read leaves a bad state, no exception.
std::optional<std::string> readAll(std::istream& in) {
    std::string input;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        input.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return input;
}

// The rotation or password the options name; InvalidInput is a usage error, else a file error.
Result<Method> methodOf(const CryptOptions& options) {
    Method m;
    if (options.rot) {
        m.rot = parseRotation(*options.rot);
        if (!m.rot)
            return Error{ErrorCode::InvalidInput,
                         "--rot needs a whole number from 1 to 26, not '" + *options.rot + "'"};
    } else if (options.passwordFile) {
        Result<std::string> line = readPasswordLine(*options.passwordFile);
        if (!line && line.code() != ErrorCode::NotFound && line.code() != ErrorCode::PathNotFound &&
            line.code() != ErrorCode::TooLarge)
            return Error{line.code(), "cannot read the password file: " + line.message()};
        if (!line)
            return Error{ErrorCode::InvalidInput, "unusable password file: " + line.message()};
        m.password = std::move(line).value();
        if (m.password.empty())
            return Error{ErrorCode::InvalidInput,
                         "the first line of '" + *options.passwordFile + "' is empty; no password"};
    } else if (options.passwordEnv) {
        m.password = environmentValue(options.passwordEnv->c_str());
        if (m.password.empty())
            return Error{ErrorCode::InvalidInput,
                         "the environment variable '" + *options.passwordEnv + "' is unset or empty"};
    } else {
        return Error{ErrorCode::InvalidInput, "missing --rot, --password-file or --password-env"};
    }
    return m;
}

} // namespace

int runCryptCommand(const CryptOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
    const Result<Method> method = methodOf(options);
    if (!method && method.code() == ErrorCode::InvalidInput)
        return usageError(err, method.message());
    if (!method) {
        err << "quillmark-cli: " << method.message() << '\n';
        return kExitFileError;
    }

    const std::optional<std::string> read = readAll(in);
    if (!read) {
        err << "quillmark-cli: cannot read standard input\n";
        return kExitFileError;
    }
    const std::string& input = *read;

    std::string result;
    if (method->rot)
        result = options.encrypt ? rotEncode(input, *method->rot) : rotDecode(input, *method->rot);
    else if (options.encrypt)
        result = wrapEncrypted(encryptText(input, method->password));
    else
        result = decryptText(unwrapEncrypted(input), method->password);

    out.write(result.data(), static_cast<std::streamsize>(result.size()));
    out.flush();
    if (!out) {
        err << "quillmark-cli: cannot write the result\n";
        return kExitFileError;
    }
    return kExitSuccess;
}

} // namespace quillmark
