#pragma once
// A letter rotation and a password cipher over single-byte texts.
//
// The password cipher is a file format: other copies of the program must read what this one
// wrote, so the key phrases, the table steps and the position rule never change. The password
// method changes only codes 33..126, the rotation only A..Z and a..z; the output always has the
// input's length. The password method keeps out a casual reader; it is no real protection.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillmark {

// Both phrases are part of every key; changing either makes old ciphertexts unreadable.
inline constexpr std::string_view kKeyPrefix = "A Blue Owl Sleeps Late";
inline constexpr std::string_view kKeySuffix = "Go Far Past A Sunny Meadow";

// Size of the cipher's alphabet: the printable codes 33 ("!") to 126 ("~").
inline constexpr int kCipherAlphabetSize = 94;
inline constexpr unsigned char kFirstCipherCode = 33;
inline constexpr unsigned char kLastCipherCode = 126;

enum class CryptDirection { Encrypt, Decrypt };

// The two methods the Encryption tab offers; the choice is kept in "Last Encryption Method".
enum class CipherMethod { Rot, Password };

// The method a stored "Last Encryption Method" value selects: "0" (and the empty value,
// whose default is 0) selects the rotation, any other value the password method.
CipherMethod cipherMethodFromSetting(std::string_view stored);
// The value that stores `method`: "0" for the rotation, "1" for the password method.
std::string_view cipherMethodSetting(CipherMethod method);

// Substitution table: position 0..93 -> a code 33..126, each code exactly once.
using CipherTable = std::array<unsigned char, kCipherAlphabetSize>;

// The ciphertext of `text`; empty when the password is empty.
std::string encryptText(std::string_view text, std::string_view password);
// The plaintext of `text`; empty when the password is empty. A wrong password is not
// detected: it gives printable garbage of the same length.
std::string decryptText(std::string_view text, std::string_view password);

// Rotates every Latin letter forward by `n` (taken modulo 26), keeping its case.
std::string rotEncode(std::string_view text, int n);
// Undoes rotEncode with the same amount (rotEncode with 26 - n).
std::string rotDecode(std::string_view text, int n);

std::string cryptText(std::string_view text, std::string_view password, CryptDirection direction);

// The working key for a password: "$" signs, the prefix phrase, the password, the
// suffix phrase, "!" signs; read backwards for decryption.
std::string cipherKey(std::string_view password, CryptDirection direction);
// Runs the table steps for every character of `key`, starting from the plain alphabet.
CipherTable substitutionTable(std::string_view key, CryptDirection direction);

} // namespace quillmark
