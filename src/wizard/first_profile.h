#pragma once
// The first profile that the wizard creates: a small header file from the user's details,
// one of the sample footer files and the usual output file, all in the signature folder.

#include "base/result.h"
#include "profiles/profile_store.h"

#include <string>
#include <string_view>

namespace quillmark {

inline constexpr std::string_view kFirstHeaderName = "firstheader.txt";
inline constexpr std::string_view kFirstSigName = "sig.txt";

// The header file's bytes: the name, the e-mail address and the web page, each one that is
// not empty as typed and followed by a line end. All three empty give an empty file.
std::string firstHeaderText(std::string_view name, std::string_view email, std::string_view url);

// The sample footer file for a choice of the list: "Humorous" gives "humour.txt", anything
// else the creative quotations "words.txt".
std::string_view footerFileName(std::string_view choice);

// The record: header, chosen footer and output file in `sigFolder` (no trailing separator).
ProfileRecord firstProfileRecord(const std::string& sigFolder, std::string name,
                                 std::string_view footerChoice);

// Writes the header file whole, creating the signature folder first when it is missing.
Status writeFirstHeader(const std::string& path, std::string_view bytes);

} // namespace quillmark
