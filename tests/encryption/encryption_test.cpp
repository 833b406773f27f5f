#include "encryption/encryption.h"
#include "encryption/envelope.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace quillmark {
namespace {

// A naive second cipher (string slicing, 64-bit sums) that the table-driven one must match.
std::string referenceCrypt(const std::string& text, const std::string& password, bool decrypt) {
    const auto code = [](char c) -> long long {
        return static_cast<unsigned char>(c);
    };
    const auto rev = [](const std::string& s) {
        return std::string(s.rbegin(), s.rend());
    };
    const auto swapPairs = [&](const std::string& s) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); i += 2)
            out += rev(s.substr(i, 2));
        return out;
    };
    if (password.empty())
        return "";
    std::string k = "A Blue Owl Sleeps Late" + password + "Go Far Past A Sunny Meadow", a;
    long long t = 0, s = 0;
    for (std::size_t i = 0; i < k.size(); ++i)
        t += i % 2 ? -code(k[i]) : code(k[i]);
    k += std::string((t < 0 ? 200 - t : t) % 16, '!');
    for (char ch : k)
        s += code(ch);
    k = std::string(s % 10, '$') + k;
    for (char c = '!'; c <= '~'; ++c)
        a += c;
    for (char ch : decrypt ? rev(k) : k) {
        const std::size_t c = code(ch) % 94;
        a = decrypt ? rev(a.substr(94 - c)) + swapPairs(a.substr(0, 94 - c))
                    : swapPairs(a.substr(c)) + rev(a.substr(0, c));
    }
    std::string out = text;
    long long p = 0;
    for (char& ch : out)
        if (const long long x = code(ch) - 33; x >= 0 && x < 94)
            ch = decrypt ? static_cast<char>(((code(a[x]) - 33 - ++p) % 94 + 94) % 94 + 33)
                         : a[(x + ++p) % 94];
    return out;
}

std::string randomBytes(std::mt19937_64& rng, std::size_t size, int low, int high) {
    std::uniform_int_distribution<int> byte(low, high);
    std::string s(size, '\0');
    for (char& ch : s)
        ch = static_cast<char>(byte(rng));
    return s;
}

TEST(Encryption, KnownCiphertextsAreStable) {
    EXPECT_EQ(encryptText("Hello, World!", "secret"), "GjWX^) T?'UW%");
    EXPECT_EQ(encryptText("The quick brown fox\r\njumps over the lazy dog.", "A $ecret pass!"),
              "Y34 2Rd3z &lRf, ^]Q\r\n,Zj|Q hsCF Wf\" 7~++ h;S`");
    const std::string accented("Meet me at 10:30 \xe9t\xe9 \x00 {ok}~", 29);
    EXPECT_EQ(encryptText(accented, std::string(300, 'x')),
              std::string("#t?C mp ?J SS]wT \xe9L\xe9 \x00 *)J&=", 29));
    EXPECT_EQ(encryptText("text", ""), "");
    EXPECT_EQ(decryptText("text", ""), "");
}

TEST(Encryption, MatchesReferenceOnRandomTextsAndPasswords) {
    std::mt19937_64 rng(20240611);
    for (int round = 0; round < 100; ++round) {
        // Long high-byte passwords take the key checksums past 16 bits.
        const std::size_t pwSize = round % 10 == 0 ? 300 + round * 5 : 1 + round % 40;
        const std::string password = randomBytes(rng, pwSize, 1, 255);
        const std::string text = randomBytes(rng, rng() % 400, 0, 160);
        const std::string cipher = encryptText(text, password);
        ASSERT_EQ(cipher, referenceCrypt(text, password, false)) << "round " << round;
        ASSERT_EQ(decryptText(cipher, password), referenceCrypt(cipher, password, true));
        ASSERT_EQ(decryptText(cipher, password), text);
    }
    // Positions past 32,768 and 65,536, where narrow counters would wrap.
    const std::string longText = randomBytes(rng, 200'000, 20, 130);
    const std::string cipher = encryptText(longText, "pass word");
    EXPECT_EQ(cipher, referenceCrypt(longText, "pass word", false));
    EXPECT_EQ(decryptText(cipher, "pass word"), longText);
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
}

TEST(Encryption, StoredMethodChoiceReadsAndWritesBack) {
    const std::pair<std::string, CipherMethod> cases[] = {
        {"0", CipherMethod::Rot},       {"", CipherMethod::Rot},       {"1", CipherMethod::Password},
        {"-1", CipherMethod::Password}, {"2", CipherMethod::Password}, {"x", CipherMethod::Password}};
    for (const auto& [stored, method] : cases)
        EXPECT_EQ(cipherMethodFromSetting(stored), method) << stored;
    for (const CipherMethod method : {CipherMethod::Rot, CipherMethod::Password})
        EXPECT_EQ(cipherMethodFromSetting(cipherMethodSetting(method)), method);
    EXPECT_EQ(cipherMethodSetting(CipherMethod::Rot), "0");
    EXPECT_EQ(cipherMethodSetting(CipherMethod::Password), "1");
}

const std::string kBegin = "-- begin Quillmark encrypted text (www.quillmark.org/) :";
const std::string kEnd = "-- end Quillmark encrypted text --";

TEST(Envelope, WrapsWithCrLfAndUnwrapsAnyLineEnds) {
    EXPECT_EQ(wrapEncrypted("abc"), kBegin + "\r\nabc\r\n" + kEnd);
    for (const std::string text : {"", "a\r\nb\r\n", "\n", kEnd.c_str(), kBegin.c_str()})
        EXPECT_EQ(unwrapEncrypted(wrapEncrypted(text)), text) << text;

    const std::pair<std::string, std::string> cases[] = {
        {kBegin + "\nabc\n" + kEnd, "abc"},
        {kBegin + "\nabc\r\n" + kEnd + "\r\n", "abc"},
        {kBegin + "\r\nabc", "abc"},
        {kBegin + "\r\nabc" + kEnd, "abc" + kEnd}, // the end line counts only on its own line
        {kBegin + "xyabc", "abc"},
        {kBegin + "x", ""}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(unwrapEncrypted(text), expected) << text;
    // Only a begin line at the very start is removed.
    for (const std::string& text :
         {"\r\n" + kBegin + "\r\nabc", "-- BEGIN" + kBegin.substr(8) + "\r\nabc", "abc\r\n" + kEnd})
        EXPECT_EQ(unwrapEncrypted(text), text);
}

} // namespace
} // namespace quillmark
