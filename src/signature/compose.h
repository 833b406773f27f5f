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

// Reloads headers from headerFile, then footers from footerFile. Returns
// the failures, header first; a list whose file failed keeps its entries.
std::vector<Error> loadSignatureFiles(SignatureState& state);

// "-- " and a line end when addDashes; then the header, a line end and the footer, or
// the footer alone when the header is empty or only spaces.
std::string composeSignature(std::string_view header, std::string_view footer, bool addDashes);

// What the output file holds: the signature and one line end.
std::string signatureFileBytes(std::string_view signature);

// "Current Signature: Header 2 of 3, Footer 17 of 120".
std::string currentSignatureLabel(std::size_t header, std::size_t headerCount, std::size_t footer,
                                  std::size_t footerCount);

struct SignatureUpdate {
    std::size_t header = 1;
    std::size_t headerCount = 1;
    std::size_t footer = 1;
    std::size_t footerCount = 1;
    std::string label;     // for lblCurrentSig
    bool composed = false; // false when there is no output file: preview and file stay as they were
    std::string signature; // for txtSig when composed
    // The output file's write: PathNotFound when its folder is missing; SameFile, with
    // nothing written, when it is one of the source files. The file is replaced whole,
    // so a mail program reading it at any moment sees the old or the new signature.
    Status write;
    // updateSignatureFromFiles: the source files' read failures, header first.
    std::vector<Error> readFailures;
};

// SameFile when the output file is the header or the footer file (by any path, link or
// hard link), which writing it would destroy.
Status checkOutputIsNoSource(const std::string& sigFile, const std::string& headerFile,
                             const std::string& footerFile);

// updateSignature without the window: picks the header, then the footer, then composes
// and writes when there is an output file (never over a source file).
SignatureUpdate updateSignature(const SignatureState& state, RandomSource& random);

// loadSignatureFiles followed by updateSignature, for a run that writes one signature
// and ends (the command-line tool): each file is read in small pieces, once to count
// and once up to the entry drawn, without building the lists, which keeps a large
// footer file from costing its whole size in memory. The lists of `state` serve only
// where a file is missing or fails, as they would after loadSignatureFiles.
// `pick` draws one entry from a file as pickEntryFromFile does; a caller with an entry
// index (quillmark-cli) passes its own, which must give the same entry for the same number.
using EntryFilePicker = std::function<FilePick(const std::string& path, std::string_view separator,
                                               const EntryList& fallback, RandomSource& random)>;
SignatureUpdate updateSignatureFromFiles(const SignatureState& state, RandomSource& random,
                                         const EntryFilePicker& pick = pickEntryFromFile);

} // namespace quillmark
