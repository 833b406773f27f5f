#pragma once
// Composing the signature from one header entry and one footer entry, and writing it to
// the profile's output file (the non-window part of updateSignature and loadEntries).

#include "platform/file_io.h"
#include "signature/entries.h"
#include "signature/random.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The signature engine's share of the program's state.
struct SignatureState {
    std::string headerFile;
    std::string footerFile;
    std::string sigFile;             // empty: no output file
    EntryList headers = EntryList(); // one empty entry until a file is loaded
    EntryList footers = EntryList();
    std::string separator = "%";
    bool addDashes = true;
    // A line end before everything, for a mail program that puts the signature straight
    // after the message text.
    bool blankLineFirst = false;
};

// Reloads headers, then footers; the failures, header first. A list whose file failed stays.
std::vector<Error> loadSignatureFiles(SignatureState& state);

// "-- " and a line end when addDashes; then the header, a line end and the footer, or
// the footer alone when the header is empty or only spaces.
std::string composeSignature(std::string_view header, std::string_view footer, bool addDashes);

// What the output file holds: the signature and one line end.
std::string signatureFileBytes(std::string_view signature);

struct SignatureUpdate {
    std::size_t header = 1;
    std::size_t headerCount = 1;
    std::size_t footer = 1;
    std::size_t footerCount = 1;
    std::string label;     // for lblCurrentSig
    bool composed = false; // false when there is no output file: preview and file stay as they were
    std::string signature; // for txtSig when composed
    // The output file's write, whole (a reader sees the old or the new signature):
    // PathNotFound when its folder is missing; SameFile, nothing written, for a source file.
    Status write;
    // updateSignatureFromFiles: the source files' read failures, header first.
    std::vector<Error> readFailures;
};

// SameFile when the output file is the header or the footer file (by any path, link or
// hard link), which writing it would destroy.
Status checkOutputIsNoSource(const std::string& sigFile, const std::string& headerFile,
                             const std::string& footerFile);

// Picks the header, then the footer, then composes and writes when there is an output file.
SignatureUpdate updateSignature(const SignatureState& state, RandomSource& random);

// loadSignatureFiles then updateSignature for a run that writes one signature and ends,
// without building the lists (see pickEntryFromFile); the lists of `state` serve only where
// a file is missing or fails. A caller with an entry index passes its own `pick`, which
// must give the same entry for the same number.
using EntryFilePicker = std::function<FilePick(const std::string& path, std::string_view separator,
                                               const EntryList& fallback, RandomSource& random)>;
SignatureUpdate updateSignatureFromFiles(const SignatureState& state, RandomSource& random,
                                         const EntryFilePicker& pick = pickEntryFromFile);

} // namespace quillmark
