#include "signature/compose.h"

#include "platform/platform.h"

#include <utility>

namespace quillmark {

std::vector<Error> loadSignatureFiles(SignatureState& state) {
    std::vector<Error> failures;
    if (Status s = loadEntryFile(state.strHeaderFile, state.strSeparator, state.astrHeaders); !s)
        failures.push_back(s.error());
    if (Status s = loadEntryFile(state.strFooterFile, state.strSeparator, state.astrFooters); !s)
        failures.push_back(s.error());
    return failures;
}

std::string composeSignature(std::string_view header, std::string_view footer, bool addDashes) {
    std::string s;
    s.reserve(header.size() + footer.size() + 8);
    if (addDashes) {
        s += "-- ";
        s += kLineEnd;
    }
    // Only spaces count as blanks here: a header of tabs or line ends is kept.
    if (header.find_first_not_of(' ') != std::string_view::npos) {
        s += header;
        s += kLineEnd;
    }
    s += footer;
    return s;
}

std::string signatureFileBytes(std::string_view signature) {
    std::string bytes;
    bytes.reserve(signature.size() + kLineEnd.size());
    bytes += signature;
    bytes += kLineEnd;
    return bytes;
}

std::string currentSignatureLabel(std::size_t header, std::size_t headerCount, std::size_t footer,
                                  std::size_t footerCount) {
    return "Current Signature: Header " + std::to_string(header) + " of " + std::to_string(headerCount) +
           ", Footer " + std::to_string(footer) + " of " + std::to_string(footerCount);
}

SignatureUpdate writeSignature(const EntryPick& header, const EntryPick& footer, const std::string& sigFile,
                               bool addDashes) {
    SignatureUpdate u;
    u.header = header.index;
    u.headerCount = header.count;
    u.footer = footer.index;
    u.footerCount = footer.count;
    u.label = currentSignatureLabel(u.header, u.headerCount, u.footer, u.footerCount);
    if (sigFile.empty())
        return u;
    u.composed = true;
    u.signature = composeSignature(header.text, footer.text, addDashes);
    // Rewritten on every update, so durability across a power cut is not worth an fsync.
    u.write = writeFileAtomic(sigFile, signatureFileBytes(u.signature), Durability::Replace);
    return u;
}

SignatureUpdate updateSignature(const SignatureState& state, RandomSource& random) {
    const EntryPick header = pickEntry(state.astrHeaders, random);
    const EntryPick footer = pickEntry(state.astrFooters, random);
    return writeSignature(header, footer, state.strSigFile, state.blnAddDashes);
}

SignatureUpdate updateSignatureFromFiles(const SignatureState& state, RandomSource& random,
                                         std::vector<Error>& failures) {
    EntryPick header;
    EntryPick footer;
    if (Status s =
            pickEntryFromFile(state.strHeaderFile, state.strSeparator, state.astrHeaders, random, header);
        !s)
        failures.push_back(s.error());
    if (Status s =
            pickEntryFromFile(state.strFooterFile, state.strSeparator, state.astrFooters, random, footer);
        !s)
        failures.push_back(s.error());
    return writeSignature(header, footer, state.strSigFile, state.blnAddDashes);
}

} // namespace quillmark
