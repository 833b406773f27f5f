#pragma once
// "quillmark-cli encrypt|decrypt": the Encryption tab's two methods on standard input,
// for scripts and mail filters.

#include <iosfwd>
#include <optional>
#include <string>

namespace quillmark {

// The method as the command line gave it: exactly one of the three is set.
struct CryptOptions {
    bool encrypt = true;
    std::optional<std::string> rot;          // N, a whole number 1..26 (no envelope)
    std::optional<std::string> passwordFile; // the password is the file's first line, without its line end
    std::optional<std::string> passwordEnv;  // the password is this environment variable's value
};

// Reads all of `in` and writes the result to `out`; the password method wraps its ciphertext in
// the begin and end lines. kExitUsageError also for a missing password file or a bad first line;
// kExitFileError when the input, the password file or the output fails.
int runCryptCommand(const CryptOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace quillmark
