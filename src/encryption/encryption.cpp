#include "encryption/encryption.h"

#include <algorithm>

namespace quillmark {

namespace {

constexpr int kN = kCipherAlphabetSize;

unsigned char code(char ch) {
    return static_cast<unsigned char>(ch);
}

// Reverses adjacent pairs of src[0..n) into dst; an odd last byte stays where it is.
void swapPairs(const unsigned char* src, unsigned char* dst, int n) {
    int i = 0;
    for (; i + 1 < n; i += 2) {
        dst[i] = src[i + 1];
        dst[i + 1] = src[i];
    }
    if (i < n)
        dst[i] = src[i];
}

void reverseInto(const unsigned char* src, unsigned char* dst, int n) {
    for (int i = 0; i < n; ++i)
        dst[i] = src[n - 1 - i];
}

// Enciphers the bytes 33..126 of `text` and copies every other byte. The position counter only moves on the
// bytes the cipher changes, so spaces and line breaks never shift the positions of the characters around
// them.
std::string encryptPass(std::string_view text, const CipherTable& table) {
    // Two copies of the table side by side turn (x + p) mod 94 into one look-up.
    std::array<unsigned char, 2 * kN> twice{};
    std::copy(table.begin(), table.end(), twice.begin());
    std::copy(table.begin(), table.end(), twice.begin() + kN);

    std::string out(text.size(), '\0');
    unsigned q = 1; // the position counter p, kept modulo 94; p starts at 1
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char v = code(text[i]);
        const unsigned x = static_cast<unsigned>(v) - kFirstCipherCode;
        const bool inRange = x < static_cast<unsigned>(kN);
        const unsigned char enciphered = twice[(inRange ? x : 0) + q];
        out[i] = static_cast<char>(inRange ? enciphered : v);
        q += inRange ? 1 : 0;
        q = q == static_cast<unsigned>(kN) ? 0 : q;
    }
    return out;
}

std::string decryptPass(std::string_view text, const CipherTable& table) {
    // (table[x] - 33 - p) mod 94 + 33 as one look-up: shifted[x] = table[x] - 33 + 94 lies
    // in 94..187, and subtracting p mod 94 lands in 1..187 of a two-period alphabet.
    std::array<unsigned char, kN> shifted{};
    for (int x = 0; x < kN; ++x)
        shifted[x] = static_cast<unsigned char>(table[x] - kFirstCipherCode + kN);
    std::array<unsigned char, 2 * kN> alphabet{};
    for (int i = 0; i < 2 * kN; ++i)
        alphabet[i] = static_cast<unsigned char>(kFirstCipherCode + i % kN);

    std::string out(text.size(), '\0');
    unsigned q = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char v = code(text[i]);
        const unsigned x = static_cast<unsigned>(v) - kFirstCipherCode;
        const bool inRange = x < static_cast<unsigned>(kN);
        const unsigned char plain = alphabet[shifted[inRange ? x : 0] - q];
        out[i] = static_cast<char>(inRange ? plain : v);
        q += inRange ? 1 : 0;
        q = q == static_cast<unsigned>(kN) ? 0 : q;
    }
    return out;
}

// c1 - c2 + c3 - c4 ... over the byte codes; a negative total t gives 200 + |t|.
std::int64_t AlternatingSum(std::string_view s) {
    std::int64_t total = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        total += (i % 2 == 0) ? code(s[i]) : -static_cast<std::int64_t>(code(s[i]));
    return total < 0 ? 200 - total : total;
}

std::int64_t CodeSum(std::string_view s) {
    std::int64_t total = 0;
    for (char ch : s)
        total += code(ch);
    return total;
}

// 0..25 for any n, with no overflow.
int rotationAmount(int n) {
    return (n % 26 + 26) % 26;
}

} // namespace

std::string cipherKey(std::string_view password, CryptDirection direction) {
    std::string key;
    key.reserve(kKeyPrefix.size() + password.size() + kKeySuffix.size() + 16 + 10);
    key.append(kKeyPrefix).append(password).append(kKeySuffix);
    key.append(static_cast<std::size_t>(AlternatingSum(key) % 16), '!');
    key.insert(0, static_cast<std::size_t>(CodeSum(key) % 10), '$');
    if (direction == CryptDirection::Decrypt)
        std::reverse(key.begin(), key.end());
    return key;
}

CipherTable substitutionTable(std::string_view key, CryptDirection direction) {
    CipherTable a{};
    for (int i = 0; i < kN; ++i)
        a[i] = static_cast<unsigned char>(kFirstCipherCode + i);
    CipherTable next{};
    for (char ch : key) {
        const int c = code(ch) % kN;
        if (direction == CryptDirection::Encrypt) {
            // L = a[0..c), R = a[c..94): new table is swapPairs(R) then reversed L.
            swapPairs(a.data() + c, next.data(), kN - c);
            reverseInto(a.data(), next.data() + (kN - c), c);
        } else {
            // L = a[0..94-c), R = a[94-c..94): new table is reversed R then swapPairs(L).
            reverseInto(a.data() + (kN - c), next.data(), c);
            swapPairs(a.data(), next.data() + c, kN - c);
        }
        a = next;
    }
    return a;
}

std::string cryptText(std::string_view text, std::string_view password, CryptDirection direction) {
    if (password.empty())
        return {};
    const CipherTable table = substitutionTable(cipherKey(password, direction), direction);
    return direction == CryptDirection::Encrypt ? encryptPass(text, table) : decryptPass(text, table);
}

std::string encryptText(std::string_view text, std::string_view password) {
    return cryptText(text, password, CryptDirection::Encrypt);
}

std::string decryptText(std::string_view text, std::string_view password) {
    return cryptText(text, password, CryptDirection::Decrypt);
}

CipherMethod cipherMethodFromSetting(std::string_view stored) {
    return stored.empty() || stored == "0" ? CipherMethod::Rot : CipherMethod::Password;
}

std::string_view cipherMethodSetting(CipherMethod method) {
    return method == CipherMethod::Rot ? "0" : "1";
}

std::string rotEncode(std::string_view text, int n) {
    const int amount = rotationAmount(n);
    std::array<unsigned char, 256> map{};
    for (int v = 0; v < 256; ++v) {
        const int first = v >= 'a' && v <= 'z' ? 'a' : v >= 'A' && v <= 'Z' ? 'A' : -1;
        map[v] = static_cast<unsigned char>(first < 0 ? v : first + (v - first + amount) % 26);
    }
    std::string out(text.size(), '\0');
    std::transform(text.begin(), text.end(), out.begin(),
                   [&map](char ch) { return static_cast<char>(map[code(ch)]); });
    return out;
}

std::string rotDecode(std::string_view text, int n) {
    return rotEncode(text, 26 - rotationAmount(n));
}

} // namespace quillmark
