#include "signature/compose.h"

#include "platform/paths.h"
#include "platform/platform.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace quillmark {

std::vector<Error> loadSignatureFiles(SignatureState& state) {
    std::vector<Error> failures;
    if (Status s = loadEntryFile(state.headerFile, state.separator, state.headers); !s)
        failures.push_back(s.error());
    if (Status s = loadEntryFile(state.footerFile, state.separator, state.footers); !s)
        failures.push_back(s.error());
    return failures;
}

namespace {

// Only spaces count as blanks here: a header of tabs or line ends is kept.
bool blankHeader(std::string_view header) {
    return header.find_first_not_of(' ') == std::string_view::npos;
}

void appendSignature(std::string& s, std::string_view header, std::string_view footer, bool addDashes) {
    if (addDashes) {
        s += "-- ";
        s += kLineEnd;
    }
    if (!blankHeader(header)) {
        s += header;
        s += kLineEnd;
    }
    s += footer;
}

SignatureUpdate labelled(std::size_t header, std::size_t headerCount, std::size_t footer,
                         std::size_t footerCount) {
    SignatureUpdate u;
    u.header = header;
    u.headerCount = headerCount;
    u.footer = footer;
    u.footerCount = footerCount;
    u.label = "Current Signature: Header " + std::to_string(header) + " of " + std::to_string(headerCount) +
              ", Footer " + std::to_string(footer) + " of " + std::to_string(footerCount);
    return u;
}

// `bytes` are the output file's: the signature is what remains without the final line
// end, so it is never held twice.
void writeSignature(SignatureUpdate& u, std::string bytes, const SignatureState& state) {
    u.composed = true;
    u.write = checkOutputIsNoSource(state.sigFile, state.headerFile, state.footerFile);
    // Rewritten on every update, so durability across a power cut is not worth an fsync.
    if (u.write.ok())
        u.write = writeFileAtomic(state.sigFile, bytes, Durability::Replace);
    bytes.resize(bytes.size() - kLineEnd.size());
    u.signature = std::move(bytes);
}

} // namespace

std::string composeSignature(std::string_view header, std::string_view footer, bool addDashes) {
    std::string s;
    s.reserve(header.size() + footer.size() + 8);
    appendSignature(s, header, footer, addDashes);
    return s;
}

std::string signatureFileBytes(std::string_view signature) {
    std::string bytes;
    bytes.reserve(signature.size() + kLineEnd.size());
    bytes += signature;
    bytes += kLineEnd;
    return bytes;
}

Status checkOutputIsNoSource(const std::string& sigFile, const std::string& headerFile,
                             const std::string& footerFile) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // An output that does not exist yet is created anew and cannot be a source. Any
    // other spelling of a source's path, a symbolic or a hard link is the same file.
    if (sigFile.empty() || !fs::exists(toFsPath(sigFile), ec))
        return {};
    const std::pair<const std::string*, const char*> sources[] = {{&headerFile, "header"},
                                                                  {&footerFile, "footer"}};
    for (const auto& [source, role] : sources) {
        if (source->empty())
            continue;
        if (fs::equivalent(toFsPath(sigFile), toFsPath(*source), ec))
            return Error{ErrorCode::SameFile, "the output file " + sigFile + " is the profile's " + role +
                                                  " file; choose another output file"};
    }
    return {};
}

SignatureUpdate updateSignature(const SignatureState& state, RandomSource& random) {
    const EntryList& headers = state.headers;
    const EntryList& footers = state.footers;
    const std::size_t h = pickIndex(random.next(), headers.count());
    const std::size_t f = pickIndex(random.next(), footers.count());
    SignatureUpdate u = labelled(h, headers.count(), f, footers.count());
    if (state.sigFile.empty())
        return u;
    // The entries are made straight into the file's bytes, which take their room once:
    // beside the lists, a large entry is held only once more.
    std::string bytes;
    bytes.reserve(headers.sourceBytes(h - 1) + footers.sourceBytes(f - 1) + 5 * kLineEnd.size() + 3);
    if (state.blankLineFirst)
        bytes += kLineEnd;
    if (state.addDashes) {
        bytes += "-- ";
        bytes += kLineEnd;
    }
    const std::size_t header = bytes.size();
    headers.appendEntry(h - 1, bytes);
    if (blankHeader(std::string_view(bytes).substr(header)))
        bytes.resize(header);
    else
        bytes += kLineEnd;
    footers.appendEntry(f - 1, bytes);
    bytes += kLineEnd;
    writeSignature(u, std::move(bytes), state);
    return u;
}

SignatureUpdate updateSignatureFromFiles(const SignatureState& state, RandomSource& random,
                                         const EntryFilePicker& pick) {
    FilePick headerPick = pick(state.headerFile, state.separator, state.headers, random);
    FilePick footerPick = pick(state.footerFile, state.separator, state.footers, random);
    EntryPick& header = headerPick.entry;
    EntryPick& footer = footerPick.entry;
    SignatureUpdate u = labelled(header.index, header.count, footer.index, footer.count);
    for (const FilePick* read : {&headerPick, &footerPick})
        if (!read->read)
            u.readFailures.push_back(read->read.error());
    if (state.sigFile.empty())
        return u;
    std::string bytes;
    bytes.reserve(header.text.size() + footer.text.size() + 5 * kLineEnd.size() + 3);
    if (state.blankLineFirst)
        bytes += kLineEnd;
    appendSignature(bytes, header.text, footer.text, state.addDashes);
    bytes += kLineEnd;
    std::string().swap(header.text);
    std::string().swap(footer.text);
    writeSignature(u, std::move(bytes), state);
    return u;
}

} // namespace quillmark
