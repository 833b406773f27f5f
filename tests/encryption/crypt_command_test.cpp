#include "cli/crypt_command.h"
#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>

namespace quillmark {
namespace {

// Exit status, standard output and standard error of one run.
std::tuple<int, std::string, std::string> run(const CryptOptions& options, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = runCryptCommand(options, in, out, err);
    return {code, out.str(), err.str()};
}

CryptOptions passwordFile(const std::string& path) {
    CryptOptions options;
    options.passwordFile = path;
    return options;
}

CryptOptions rotation(const std::string& amount, bool encrypt = true) {
    CryptOptions options;
    options.encrypt = encrypt;
    options.rot = amount;
    return options;
}

// Pipes, exit statuses, the option parse and the common cases are checked on the real
// process by tests/cli/crypt_cli_test.sh; these are the cases it leaves out.
TEST(CryptCommand, PasswordFileLineEndsAndUnusableMethods) {
    test::TempFolder folder;
    const std::string input("caf\xe9\0 \r\n", 8);
    for (const std::string content : {"s3cret pass\nnext", "s3cret pass\rnext", "s3cret pass"}) {
        test::spit(folder.file("pw"), content);
        EXPECT_EQ(run(passwordFile(folder.file("pw")), input),
                  std::make_tuple(0, wrapEncrypted(encryptText(input, "s3cret pass")), std::string()));
    }

    test::spit(folder.file("empty-first-line"), "\nsecond");
    for (const CryptOptions& options :
         {CryptOptions(), rotation("27"), rotation("2.5"), rotation("0"),
          passwordFile(folder.file("missing")), passwordFile(folder.file("empty-first-line"))}) {
        const auto [code, out, err] = run(options, "text");
        EXPECT_EQ(code, 2) << err;
        EXPECT_EQ(out, "");
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

// Standard input on a folder: the file buffer's read fails by throwing, as libstdc++'s does.
class FailingBuffer : public std::streambuf {
protected:
    int_type underflow() override { throw std::ios_base::failure("error reading the file: Is a directory"); }
};

TEST(CryptCommand, UnreadableInputOrPasswordFileGivesStatusOne) {
    FailingBuffer failing;
    std::istream in(&failing);
    std::ostringstream out, err;
    EXPECT_EQ(runCryptCommand(rotation("13"), in, out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "quillmark-cli: cannot read standard input\n");

    test::TempFolder folder;
    const auto [code, output, message] = run(passwordFile(folder.path()), "x");
    EXPECT_EQ(code, 1);
    EXPECT_EQ(output, "");
    EXPECT_NE(message.find("cannot read the password file"), std::string::npos) << message;
}

TEST(CryptCommand, OnlyTheFirstLineOfAtMost64KBIsThePassword) {
    test::TempFolder folder;
    const std::string longest(64 * 1024, 'p');
    const std::pair<std::string, int> cases[] = {
        {longest, 0},
        {longest + "\r\n" + std::string(200000, 'q'), 0},
        {longest + "p", 2},
        {longest + "p\n", 2},
    };
    for (const auto& [content, status] : cases) {
        test::spit(folder.file("pw"), content);
        const auto [code, out, err] = run(passwordFile(folder.file("pw")), "text");
        EXPECT_EQ(code, status) << content.size();
        if (status == 0)
            EXPECT_EQ(out, wrapEncrypted(encryptText("text", longest)));
        else
            EXPECT_NE(err.find("64 KB"), std::string::npos) << err;
    }
}

TEST(CryptCommand, AFailedWriteGivesStatusOne) {
    std::istringstream in("text");
    std::ostringstream broken, err;
    broken.setstate(std::ios::badbit);
    EXPECT_EQ(runCryptCommand(rotation("13"), in, broken, err), 1);
    EXPECT_NE(err.str(), "");
}

} // namespace
} // namespace quillmark
