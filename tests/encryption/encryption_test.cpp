#include "cli/crypt_command.h"
#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace quillmark {
namespace {

using namespace std::string_literals;

// Long and high-byte passwords take the key's sums past 16 bits and past signed bytes.
TEST(Encryption, KnownCiphertextsAreStableAndDecryptBack) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"Hello, World!", "secret", "GjWX^) T?'UW%"},
        {"Meet me at 10:30 \xe9t\xe9 \0 {ok}~"s, std::string(300, 'x'),
         "#t?C mp ?J SS]wT \xe9L\xe9 \0 *)J&="s},
        {"Caf\xE9 \x01\x7F ~!{}\0z"s, "\xE9t\xE9 \xFF\x80 key", "l(@\xE9 \x01\x7F k%X%\0k"s},
        {"Positions and sums", std::string(400, '\xFE'), "`GspNxssH iN+ PfHf"}};
    for (const auto& [text, password, cipher] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(encryptText(text, password), cipher);
        EXPECT_EQ(decryptText(cipher, password), text);
    }
    // A constant text repeats every 94 characters, also past the positions 32,768 and 65,536
    // where a narrow counter would wrap.
    const std::string cipher = encryptText(std::string(70'000, 'a'), "pass word");
    for (std::size_t i = 94; i < cipher.size(); ++i)
        ASSERT_EQ(cipher[i], cipher[i - 94]) << i;
    EXPECT_TRUE(decryptText(cipher, "pass word") == std::string(70'000, 'a'));
}

TEST(Encryption, RotationMovesOnlyLettersAndWrapsAnyAmount) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"Well, Hello!", 13, "Jryy, Uryyb!"},
        {"xyz XYZ @[`{ 9\xe9", 3, "abc ABC @[`{ 9\xe9"},
        {"azAZ", 27, "baBA"},
        {"azAZ", -3, "xwXW"}};
    for (const auto& [text, n, encoded] : cases) {
        EXPECT_EQ(rotEncode(text, n), encoded) << n;
        EXPECT_EQ(rotDecode(encoded, n), text) << n;
    }
}

TEST(Envelope, WrapsWithCrLfAndUnwrapsAnyLineEnds) {
    const std::string begin(kBeginLine), end(kEndLine);
    EXPECT_EQ(wrapEncrypted("abc"),
              "-- begin Quillmark encrypted text (www.quillmark.org/) :\r\nabc\r\n" + end);
    const std::pair<std::string, std::string> cases[] = {
        {begin + "\nabc\n" + end, "abc"},
        {begin + "\nabc\r\n" + end + "\r\n", "abc"},
        {begin + "\r\nabc" + end, "abc" + end}, // the end line counts only on its own line
        // Only a begin line at the very start is removed.
        {"\r\n" + begin + "\r\nabc", "\r\n" + begin + "\r\nabc"},
        {"abc\r\n" + end, "abc\r\n" + end}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(unwrapEncrypted(text), expected) << text;
}

// Standard input on a folder: the file buffer's read fails by throwing, as libstdc++'s does.
class FailingBuffer : public std::streambuf {
protected:
    int_type underflow() override { throw std::ios_base::failure("error reading the file: Is a directory"); }
};

// What crypt_cli_test.sh leaves out: the password is the first line, of at most 64 KB.
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
        {withPassword(longest + "\r\n" + std::string(200000, 'q')), 0, longest},
        {withPassword(longest + "p\n"), 2, "64 KB"},
        {withPassword("\nsecond"), 2, "empty"},
        {CryptOptions{true, std::nullopt, folder.file("missing"), std::nullopt}, 2, "missing"},
        {CryptOptions{true, std::nullopt, folder.path(), std::nullopt}, 1, "cannot read the password file"},
        {CryptOptions{true, "27", {}, {}}, 2, "27"},
        {CryptOptions{true, "0", {}, {}}, 2, "'0'"}};
    for (const auto& [options, status, expected] : cases) {
        SCOPED_TRACE(expected.substr(0, 20));
        std::istringstream in(input);
        std::ostringstream out, err;
        EXPECT_EQ(runCryptCommand(options, in, out, err), status);
        EXPECT_EQ(out.str(), status ? "" : wrapEncrypted(encryptText(input, expected)));
        const std::string message = err.str();
        EXPECT_TRUE(!status || (std::count(message.begin(), message.end(), '\n') == 1 &&
                                message.find(expected) != std::string::npos))
            << message;
    }
    FailingBuffer failing;
    std::istream unreadable(&failing);
    std::istringstream in("text");
    std::ostringstream out, broken, err;
    broken.setstate(std::ios::badbit);
    const CryptOptions rot13{true, "13", {}, {}};
    EXPECT_EQ(runCryptCommand(rot13, unreadable, out, err), 1);
    EXPECT_EQ(runCryptCommand(rot13, in, broken, err), 1);
}

} // namespace
} // namespace quillmark
