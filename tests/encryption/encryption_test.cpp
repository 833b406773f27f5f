#include "encryption/encryption.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace quillmark {
namespace {

// A second, deliberately naive cipher written straight from the rules (string slicing,
// 64-bit values), to hold the fast table-driven one to the format.
namespace reference {

std::string key(const std::string& password, bool decrypt) {
    std::string k = std::string("A Blue Owl Sleeps Late") + password + "Go Far Past A Sunny Meadow";
    long long t = 0;
    for (std::size_t i = 0; i < k.size(); ++i)
        t += (i % 2 ? -1 : 1) * static_cast<long long>(static_cast<unsigned char>(k[i]));
    if (t < 0)
        t = 200 - t;
    k += std::string(static_cast<std::size_t>(t % 16), '!');
    long long s = 0;
    for (char ch : k)
        s += static_cast<unsigned char>(ch);
    k = std::string(static_cast<std::size_t>(s % 10), '$') + k;
    if (decrypt)
        std::reverse(k.begin(), k.end());
    return k;
}

std::string reversed(std::string s) {
    std::reverse(s.begin(), s.end());
    return s;
}

std::string pairsSwapped(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); i += 2)
        out += reversed(s.substr(i, 2));
    return out;
}

std::string crypt(const std::string& text, const std::string& password, bool decrypt) {
    if (password.empty())
        return "";
    std::string a;
    for (int c = 33; c <= 126; ++c)
        a += static_cast<char>(c);
    for (char ch : key(password, decrypt)) {
        const std::size_t c = static_cast<unsigned char>(ch) % 94;
        if (!decrypt)
            a = pairsSwapped(a.substr(c)) + reversed(a.substr(0, c));
        else
            a = reversed(a.substr(94 - c)) + pairsSwapped(a.substr(0, 94 - c));
    }
    std::string out;
    long long p = 1;
    for (char ch : text) {
        const int v = static_cast<unsigned char>(ch);
        if (v < 33 || v > 126) {
            out += ch;
            continue;
        }
        const int x = v - 33;
        if (!decrypt) {
            out += a[static_cast<std::size_t>((x + p) % 94)];
        } else {
            const long long w = static_cast<unsigned char>(a[static_cast<std::size_t>(x)]) - 33 - p;
            long long r = w % 94;
            if (r < 0)
                r += 94;
            out += static_cast<char>(r + 33);
        }
        ++p;
    }
    return out;
}

} // namespace reference

std::string randomBytes(std::mt19937_64& rng, std::size_t size, int low = 0, int high = 255) {
    std::uniform_int_distribution<int> byte(low, high);
    std::string s(size, '\0');
    for (char& ch : s)
        ch = static_cast<char>(byte(rng));
    return s;
}

TEST(Encryption, KnownCiphertextsAreStable) {
    EXPECT_EQ(cipherKey("secret", CryptDirection::Encrypt),
              "A Blue Owl Sleeps LatesecretGo Far Past A Sunny Meadow!!!!!!!");
    EXPECT_EQ(EncryptText("Hello, World!", "secret"), "GjWX^) T?'UW%");
    EXPECT_EQ(EncryptText("The quick brown fox\r\njumps over the lazy dog.", "A $ecret pass!"),
              "Y34 2Rd3z &lRf, ^]Q\r\n,Zj|Q hsCF Wf\" 7~++ h;S`");
    const std::string accented("Meet me at 10:30 \xe9t\xe9 \x00 {ok}~", 29);
    EXPECT_EQ(EncryptText(accented, std::string(300, 'x')),
              std::string("#t?C mp ?J SS]wT \xe9L\xe9 \x00 *)J&=", 29));
}

TEST(Encryption, MatchesReferenceOnRandomTextsAndPasswords) {
    std::mt19937_64 rng(20240611);
    std::uniform_int_distribution<std::size_t> textSize(0, 400);
    for (int round = 0; round < 300; ++round) {
        // Long high-byte passwords take the key checksums past 16 bits.
        const std::size_t pwSize = round % 10 == 0 ? 300 + round * 5 : 1 + round % 40;
        const std::string password = randomBytes(rng, pwSize, 1, 255);
        const std::string text = randomBytes(rng, textSize(rng), 0, 160);
        const std::string cipher = EncryptText(text, password);
        ASSERT_EQ(cipher, reference::crypt(text, password, false)) << "round " << round;
        ASSERT_EQ(DecryptText(cipher, password), reference::crypt(cipher, password, true));
        ASSERT_EQ(DecryptText(cipher, password), text);
    }
    // Positions past 32,768 and 65,536, where narrow counters would wrap.
    const std::string longText = randomBytes(rng, 200'000, 20, 130);
    const std::string cipher = EncryptText(longText, "pass word");
    EXPECT_EQ(cipher, reference::crypt(longText, "pass word", false));
    EXPECT_EQ(DecryptText(cipher, "pass word"), reference::crypt(cipher, "pass word", true));
}

TEST(Encryption, RoundTripsAwkwardPasswordsAndLargeTexts) {
    std::mt19937_64 rng(7);
    const std::string text = "Dear Ann,\r\n\tthe $5 \"deal\" is off!\r\n-- \r\nBob ~ 100% sure\xe9\n";
    for (const std::string& password : std::vector<std::string>{
             "a", " ", "pass word", "!!!", "$$$", "$ ! $", "\xe9t\xe9", randomBytes(rng, 10'000, 32, 255)}) {
        EXPECT_EQ(DecryptText(EncryptText(text, password), password), text) << password.size();
    }

    const std::string big = randomBytes(rng, 10 * 1024 * 1024);
    const std::string cipher = EncryptText(big, "twenty chars passwd!");
    EXPECT_NE(cipher, big);
    EXPECT_TRUE(DecryptText(cipher, "twenty chars passwd!") == big);

    EXPECT_EQ(EncryptText("", "k"), "");
    EXPECT_EQ(EncryptText(text, ""), "");
    EXPECT_EQ(DecryptText(text, ""), "");
    const std::string wrong = DecryptText(EncryptText(text, "right"), "wrong");
    EXPECT_EQ(wrong.size(), text.size());
    EXPECT_NE(wrong, text);
}

TEST(Encryption, OnlyPrintableCharactersChangeAndOnlyTheyAdvanceThePosition) {
    std::string others;
    for (int v = 0; v < 256; ++v)
        if (v < 33 || v > 126)
            others += static_cast<char>(v);
    EXPECT_EQ(EncryptText(others, "key"), others);
    EXPECT_EQ(DecryptText(others, "key"), others);

    const std::string four = EncryptText("abcd", "key");
    EXPECT_EQ(EncryptText("ab cd", "key"), four.substr(0, 2) + " " + four.substr(2));
    EXPECT_EQ(EncryptText(std::string("ab\0\xff\r\ncd", 8), "key"),
              four.substr(0, 2) + std::string("\0\xff\r\n", 4) + four.substr(2));

    // One letter repeated 94 times meets every position of the table once.
    std::string run = EncryptText(std::string(94, 'a'), "key");
    std::sort(run.begin(), run.end());
    EXPECT_EQ(std::adjacent_find(run.begin(), run.end()), run.end());
    EXPECT_GE(run.front(), '!');
    EXPECT_LE(run.back(), '~');
}

TEST(Encryption, DecryptionTableInvertsEncryptionTable) {
    std::mt19937_64 rng(99);
    for (int round = 0; round < 200; ++round) {
        const std::string key = randomBytes(rng, static_cast<std::size_t>(round), 0, 255);
        const CipherTable enc = substitutionTable(key, CryptDirection::Encrypt);
        const CipherTable dec = substitutionTable(ReverseText(key), CryptDirection::Decrypt);
        for (int i = 0; i < kCipherAlphabetSize; ++i)
            ASSERT_EQ(dec[enc[i] - 33], 33 + i) << "round " << round;
    }
}

TEST(Encryption, Helpers) {
    EXPECT_EQ(AlternatingSum(""), 0);
    EXPECT_EQ(AlternatingSum("abc"), 97 - 98 + 99);
    EXPECT_EQ(AlternatingSum("ab"), 201); // -1 counts as 200 + 1
    EXPECT_EQ(AlternatingSum("\x01\xff"), 200 + 254);
    EXPECT_EQ(CodeSum("\xff\x01"), 256);
    EXPECT_EQ(CodeSum(std::string(1000, '\xff')), 255'000);

    EXPECT_EQ(ReverseText("abc"), "cba");
    EXPECT_EQ(ReverseChunks("abcde", 2), "badce");
    EXPECT_EQ(ReverseChunks("abcdefg", 3), "cbafedg");
    EXPECT_EQ(ReverseChunks("abc", 0), "abc");

    EXPECT_EQ(PositiveMod(-1, 94, true), 93);
    EXPECT_EQ(PositiveMod(-94, 94, true), 0);
    EXPECT_EQ(PositiveMod(95, 94, true), 1);
    EXPECT_EQ(PositiveMod(0, 94, false), 94);
    EXPECT_EQ(PositiveMod(94, 94, false), 94);
    EXPECT_EQ(PositiveMod(-1, 94, false), 93);
}

TEST(Encryption, Rotation) {
    EXPECT_EQ(RotEncode("Well, Hello!", 13), "Jryy, Uryyb!");
    EXPECT_EQ(RotEncode("Uryyb", 13), "Hello");
    EXPECT_EQ(RotEncode("xyz XYZ", 3), "abc ABC");
    EXPECT_EQ(RotDecode("abc ABC", 3), "xyz XYZ");

    std::string all;
    for (int v = 0; v < 256; ++v)
        all += static_cast<char>(v);
    EXPECT_EQ(RotEncode(all, 26), all);
    for (int n = 1; n <= 26; ++n)
        ASSERT_EQ(RotDecode(RotEncode(all, n), n), all) << n;
    const std::string letters = "azAZ";
    std::string others = all;
    std::erase_if(others, [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
    EXPECT_EQ(RotEncode(others, 7), others);
    // Amounts outside 1..26 wrap instead of producing non-letters.
    EXPECT_EQ(RotEncode(letters, 27), RotEncode(letters, 1));
    EXPECT_EQ(RotEncode(letters, -3), RotEncode(letters, 23));
    EXPECT_EQ(RotDecode(letters, -3), RotEncode(letters, 3));
}

} // namespace
} // namespace quillmark
