#include "cli/crypt_command.h"
#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>

namespace quillmark {
namespace {

using namespace std::string_literals;

// Ciphertexts are read by other copies of the program: these must never change. The long
// and high-byte passwords take the key's sums past 16 bits and past signed bytes.
TEST(Encryption, KnownCiphertextsAreStableAndDecryptBack) {
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"Hello, World!", "secret", "GjWX^) T?'UW%"},
        {"The quick brown fox\r\njumps over the lazy dog.", "A $ecret pass!",
         "Y34 2Rd3z &lRf, ^]Q\r\n,Zj|Q hsCF Wf\" 7~++ h;S`"},
        {"Meet me at 10:30 \xe9t\xe9 \0 {ok}~"s, std::string(300, 'x'),
         "#t?C mp ?J SS]wT \xe9L\xe9 \0 *)J&="s},
        {"Caf\xE9 \x01\x7F ~!{}\0z"s, "\xE9t\xE9 \xFF\x80 key", "l(@\xE9 \x01\x7F k%X%\0k"s},
        {"Positions and sums", std::string(400, '\xFE'), "`GspNxssH iN+ PfHf"}};
    for (const auto& [text, password, cipher] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(encryptText(text, password), cipher);
        EXPECT_EQ(decryptText(cipher, password), text);
    }
    EXPECT_EQ(encryptText("text", "") + decryptText("text", ""), "");
    // Every byte round-trips; a constant text repeats every 94 characters, also past the
    // positions 32,768 and 65,536 where a narrow counter would wrap.
    std::mt19937_64 rng(20240611);
    std::string text(200'000, '\0');
    for (char& c : text)
        c = static_cast<char>(rng());
    EXPECT_TRUE(decryptText(encryptText(text, "pass \xA0word"), "pass \xA0word") == text);
    const std::string cipher = encryptText(std::string(70'000, 'a'), "pass word");
    for (std::size_t i = 94; i < cipher.size(); ++i)
        ASSERT_EQ(cipher[i], cipher[i - 94]) << i;
}

TEST(Encryption, RotationMovesOnlyLettersAndWrapsAnyAmount) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"Well, Hello!", 13, "Jryy, Uryyb!"},
        {"xyz XYZ @[`{ 9\xe9", 3, "abc ABC @[`{ 9\xe9"},
        {"azAZ", 26, "azAZ"},
        {"azAZ", 27, "baBA"},
        {"azAZ", -3, "xwXW"}};
    for (const auto& [text, n, encoded] : cases) {
        EXPECT_EQ(rotEncode(text, n), encoded) << n;
        EXPECT_EQ(rotDecode(encoded, n), text) << n;
    }
    // "Last Encryption Method": "0" and the empty value select the rotation.
    for (const auto& [stored, method] : {std::pair{"0", CipherMethod::Rot},
                                         {"", CipherMethod::Rot},
                                         {"1", CipherMethod::Password},
                                         {"x", CipherMethod::Password}})
        EXPECT_EQ(cipherMethodFromSetting(stored), method) << stored;
    EXPECT_EQ(cipherMethodSetting(CipherMethod::Password), "1");
}

TEST(Envelope, WrapsWithCrLfAndUnwrapsAnyLineEnds) {
    const std::string begin(kBeginLine), end(kEndLine);
    EXPECT_EQ(wrapEncrypted("abc"),
              "-- begin Quillmark encrypted text (www.quillmark.org/) :\r\nabc\r\n" + end);
    for (const std::string text : {"", "a\r\nb\r\n", "\n", end.c_str(), begin.c_str()})
        EXPECT_EQ(unwrapEncrypted(wrapEncrypted(text)), text) << text;
    const std::pair<std::string, std::string> cases[] = {
        {begin + "\nabc\n" + end, "abc"},
        {begin + "\nabc\r\n" + end + "\r\n", "abc"},
        {begin + "\r\nabc", "abc"},
        {begin + "\r\nabc" + end, "abc" + end}, // the end line counts only on its own line
        {begin + "xyabc", "abc"},
        {begin + "x", ""},
        // Only a begin line at the very start is removed.
        {"\r\n" + begin + "\r\nabc", "\r\n" + begin + "\r\nabc"},
        {"-- BEGIN" + begin.substr(8) + "\r\nabc", "-- BEGIN" + begin.substr(8) + "\r\nabc"},
        {"abc\r\n" + end, "abc\r\n" + end}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(unwrapEncrypted(text), expected) << text;
}

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
