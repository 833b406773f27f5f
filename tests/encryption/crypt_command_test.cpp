#include "cli/crypt_command.h"
#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace quillmark {
namespace {

// Standard input on a folder: the file buffer's read fails by throwing, as libstdc++'s does.
class FailingBuffer : public std::streambuf {
protected:
    int_type underflow() override { throw std::ios_base::failure("error reading the file: Is a directory"); }
};

// Pipes, exit statuses and the option parse are checked on the real process by
// tests/cli/crypt_cli_test.sh; these are the cases it leaves out. The password is the
// first line of at most 64 KB, whatever its line end.
TEST(CryptCommand, PasswordFileLinesUnusableMethodsAndFailedStreams) {
    test::TempFolder folder;
    const std::string longest(64 * 1024, 'p'), input("caf\xe9\0 \r\n", 8);
    int files = 0;
    const auto withPassword = [&](const std::string& content) {
        const std::string path = folder.file("pw" + std::to_string(++files));
        test::spit(path, content);
        return CryptOptions{true, std::nullopt, path, std::nullopt};
    };
    const std::tuple<CryptOptions, int, std::string> cases[] = {
        {withPassword("s3cret\nnext"), 0, "s3cret"},
        {withPassword("s3cret\rnext"), 0, "s3cret"},
        {withPassword("s3cret"), 0, "s3cret"},
        {withPassword(longest + "\r\n" + std::string(200000, 'q')), 0, longest},
        {withPassword(longest + "p\n"), 2, "64 KB"},
        {withPassword("\nsecond"), 2, "empty"},
        {CryptOptions{true, std::nullopt, folder.file("missing"), std::nullopt}, 2, "missing"},
        {CryptOptions{true, std::nullopt, folder.path(), std::nullopt}, 1, "cannot read the password file"},
        {CryptOptions{}, 2, "missing --rot"},
        {CryptOptions{true, "27", {}, {}}, 2, "27"},
        {CryptOptions{true, "2.5", {}, {}}, 2, "2.5"},
        {CryptOptions{true, "0", {}, {}}, 2, "'0'"}};
    for (const auto& [options, status, expected] : cases) {
        SCOPED_TRACE(expected.substr(0, 20));
        std::istringstream in(input);
        std::ostringstream out, err;
        EXPECT_EQ(runCryptCommand(options, in, out, err), status);
        if (status == 0) {
            EXPECT_EQ(out.str(), wrapEncrypted(encryptText(input, expected)));
            continue;
        }
        const std::string message = err.str();
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    }

    FailingBuffer failing;
    std::istream unreadable(&failing);
    std::istringstream in("text");
    std::ostringstream out, broken, err;
    broken.setstate(std::ios::badbit);
    const CryptOptions rot13{true, "13", {}, {}};
    EXPECT_EQ(runCryptCommand(rot13, unreadable, out, err), 1);
    EXPECT_EQ(err.str(), "quillmark-cli: cannot read standard input\n");
    EXPECT_EQ(runCryptCommand(rot13, in, broken, err), 1);
}

} // namespace
} // namespace quillmark
