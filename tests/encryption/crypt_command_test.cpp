#include "cli/crypt_command.h"
#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace quillmark {
namespace {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

CliResult run(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int code = runCryptCommand(args, in, out, err);
    return {code, out.str(), err.str()};
}

TEST(CryptCommand, RotationBothWays) {
    CliResult r = run({"encrypt", "--rot", "13"}, "Hello, World!\n");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Uryyb, Jbeyq!\n");
    EXPECT_EQ(run({"decrypt", "--rot", "3"}, "abc").out, "xyz");
    EXPECT_EQ(run({"encrypt", "--rot", "26"}, "Same").out, "Same");
}

TEST(CryptCommand, PasswordFromFileOrEnvironmentRoundTripsBytes) {
    test::TempFolder folder;
    const std::string input("caf\xe9\0 \r\nline two\n", 17);
    for (const std::string content :
         {"s3cret pass\r\nnext", "s3cret pass\nnext", "s3cret pass\rnext", "s3cret pass"}) {
        test::spit(folder.file("pw"), content);
        const CliResult enc = run({"encrypt", "--password-file", folder.file("pw")}, input);
        ASSERT_EQ(enc.code, 0) << enc.err;
        EXPECT_EQ(enc.out, WrapEncrypted(EncryptText(input, "s3cret pass")));
        const CliResult dec = run({"decrypt", "--password-file", folder.file("pw")}, enc.out);
        EXPECT_EQ(dec.code, 0);
        EXPECT_EQ(dec.out, input);
    }

    ::setenv("QUILLMARK_TEST_PASSWORD", "s3cret pass", 1);
    const CliResult dec = run({"decrypt", "--password-env", "QUILLMARK_TEST_PASSWORD"},
                              WrapEncrypted(EncryptText(input, "s3cret pass")));
    ::unsetenv("QUILLMARK_TEST_PASSWORD");
    EXPECT_EQ(dec.code, 0);
    EXPECT_EQ(dec.out, input);
}

TEST(CryptCommand, UsageErrorsGiveOneLineAndCodeTwo) {
    test::TempFolder folder;
    test::spit(folder.file("empty-first-line"), "\nsecond");
    ::unsetenv("QUILLMARK_TEST_UNSET");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"scramble", "--rot", "13"},
        {"encrypt"},
        {"encrypt", "--rot"},
        {"encrypt", "--rot", "0"},
        {"encrypt", "--rot", "27"},
        {"encrypt", "--rot", "2.5"},
        {"encrypt", "--rot", "13", "--password-env", "HOME"},
        {"encrypt", "--key", "x"},
        {"encrypt", "--password-file", folder.file("missing")},
        {"encrypt", "--password-file", folder.path()},
        {"encrypt", "--password-file", folder.file("empty-first-line")},
        {"decrypt", "--password-env", "QUILLMARK_TEST_UNSET"},
    };
    for (const auto& args : cases) {
        const CliResult r = run(args, "text");
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.code, 2) << joined;
        EXPECT_EQ(r.out, "") << joined;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << r.err;
    }
}

TEST(CryptCommand, HelpAndWriteFailure) {
    const CliResult help = run({"encrypt", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--password-file FILE"), std::string::npos);
    EXPECT_EQ(help.err, "");

    std::istringstream in("text");
    std::ostringstream out;
    std::ostringstream err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(runCryptCommand({"encrypt", "--rot", "13"}, in, out, err), 1);
    EXPECT_NE(err.str(), "");
}

} // namespace
} // namespace quillmark
