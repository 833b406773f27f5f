// Whatever a user pastes into the Encryption tab: decoding and unwrapping never crash,
// and every way of encoding gives back the text it was given.
//
// The rotation amount comes from the end of the input, the password from the front; what
// is left is the text.

#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace quillmark;

__attribute__((no_sanitize("coverage"))) bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

__attribute__((no_sanitize("coverage"))) bool isCipherCode(char c) {
    const auto v = static_cast<unsigned char>(c);
    return v >= kFirstCipherCode && v <= kLastCipherCode;
}

// Same length, and the bytes the method must not touch are where they were. The checks
// are not what the fuzzer should steer by, so they carry no coverage counters.
__attribute__((no_sanitize("coverage"))) bool keepsUntouched(std::string_view in, std::string_view out,
                                                             bool (*changes)(char)) {
    if (in.size() != out.size())
        return false;
    for (std::size_t i = 0; i < in.size(); ++i)
        if (!changes(in[i]) && out[i] != in[i])
            return false;
    return true;
}

std::string replaced(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t at; (at = s.find(from, pos)) != std::string_view::npos; pos = at + from.size())
        out.append(s.substr(pos, at - pos)).append(to);
    return out.append(s.substr(pos));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int amount = input.ConsumeIntegral<int>();
    const std::string password = input.ConsumeRandomLengthString(48);
    const std::string text = input.ConsumeRemainingBytesAsString();

    // Pasted text of any kind.
    FUZZ_CHECK(keepsUntouched(text, rotDecode(text, amount), isLetter));
    const std::string unwrapped = unwrapEncrypted(text);
    FUZZ_CHECK(unwrapped.size() <= text.size());
    const std::string decrypted = decryptText(unwrapped, password);
    FUZZ_CHECK(password.empty() ? decrypted.empty() : keepsUntouched(unwrapped, decrypted, isCipherCode));

    // The rotation maps each byte on its own, so every amount is tried on the text's first
    // bytes only: the fuzzer then spends its time on new texts.
    const std::string_view head = std::string_view(text).substr(0, 256);
    for (int n = 1; n <= 26; ++n) {
        const std::string rotated = rotEncode(head, n);
        FUZZ_CHECK(keepsUntouched(head, rotated, isLetter));
        FUZZ_CHECK(n != 26 || rotated == head);
        FUZZ_CHECK(rotDecode(rotated, n) == head);
    }
    FUZZ_CHECK(rotDecode(rotEncode(text, amount), amount) == text);

    const std::string encrypted = encryptText(text, password);
    if (password.empty()) {
        FUZZ_CHECK(encrypted.empty());
    } else {
        FUZZ_CHECK(keepsUntouched(text, encrypted, isCipherCode));
        FUZZ_CHECK(decryptText(encrypted, password) == text);
    }

    // The envelope as written, with a line end after it as a mail often adds, and with
    // every CR LF turned into LF by a mail system (a text with CRs of its own cannot come
    // through that unchanged).
    const std::string wrapped = wrapEncrypted(encrypted);
    FUZZ_CHECK(unwrapEncrypted(wrapped) == encrypted);
    FUZZ_CHECK(unwrapEncrypted(wrapped + "\r\n") == encrypted);
    FUZZ_CHECK(unwrapEncrypted(wrapped + "\n") == encrypted);
    if (encrypted.find('\r') == std::string::npos)
        FUZZ_CHECK(unwrapEncrypted(replaced(wrapped, "\r\n", "\n")) == encrypted);
    FUZZ_CHECK(unwrapEncrypted(wrapEncrypted(text)) == text);
    return 0;
}
