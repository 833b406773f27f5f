// Any pasted text: decoding and unwrapping never crash, and every encoding gives the text back.
#include "encryption/encryption.h"
#include "encryption/envelope.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace {

using namespace quillmark;

// Same length, untouched bytes unchanged; no coverage here, so the fuzzer does not steer by it.
__attribute__((no_sanitize("coverage"))) bool keepsUntouched(std::string_view in, std::string_view out,
                                                             bool cipher) {
    if (in.size() != out.size())
        return false;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        const bool changes =
            cipher ? c >= kFirstCipherCode && c <= kLastCipherCode : (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        if (!changes && out[i] != in[i])
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int amount = input.ConsumeIntegral<int>();
    const std::string password = input.ConsumeRandomLengthString(48);
    const std::string text = input.ConsumeRemainingBytesAsString();

    FUZZ_CHECK(keepsUntouched(text, rotDecode(text, amount), false));
    const std::string unwrapped = unwrapEncrypted(text);
    FUZZ_CHECK(unwrapped.size() <= text.size());
    const std::string decrypted = decryptText(unwrapped, password);
    FUZZ_CHECK(password.empty() ? decrypted.empty() : keepsUntouched(unwrapped, decrypted, true));

    const std::string rotated = rotEncode(text, amount);
    FUZZ_CHECK(keepsUntouched(text, rotated, false) && rotDecode(rotated, amount) == text);

    const std::string encrypted = encryptText(text, password);
    FUZZ_CHECK(password.empty() ? encrypted.empty() : keepsUntouched(text, encrypted, true));
    FUZZ_CHECK(password.empty() || decryptText(encrypted, password) == text);
    // The envelope as written, with a line end after it, and with a mail system's LF for CR LF.
    const std::string wrapped = wrapEncrypted(encrypted);
    FUZZ_CHECK(unwrapEncrypted(wrapped) == encrypted && unwrapEncrypted(wrapped + "\r\n") == encrypted);
    std::string lf = wrapped;
    for (std::size_t at = 0; (at = lf.find("\r\n", at)) != std::string::npos;)
        lf.erase(at, 1);
    FUZZ_CHECK(encrypted.find('\r') != std::string::npos || unwrapEncrypted(lf) == encrypted);
    FUZZ_CHECK(unwrapEncrypted(wrapEncrypted(text)) == text);
    return 0;
}
