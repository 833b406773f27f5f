#pragma once
// Who makes Quillmark and where users reach them: shown in the About box and recorded
// under the program's key at start-up.

#include <string_view>

namespace quillmark {

inline constexpr std::string_view kProductName = "Quillmark";
inline constexpr std::string_view kMakerCompany = "Halvrene";
inline constexpr std::string_view kMakerAuthor = "The Quillmark developers";
inline constexpr std::string_view kMakerWeb = "https://quillmark.org";
inline constexpr std::string_view kMakerMail = "support@quillmark.org";

} // namespace quillmark
