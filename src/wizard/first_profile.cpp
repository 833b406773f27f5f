#include "wizard/first_profile.h"

#include "platform/file_io.h"
#include "platform/platform.h"

namespace quillmark {

namespace {

// The settings file reads values back cut to this many bytes.
constexpr std::size_t kMaxStoredValue = 253;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string firstHeaderText(std::string_view name, std::string_view email, std::string_view url) {
    std::string text;
    for (std::string_view line : {name, email, url}) {
        if (line.empty())
            continue;
        text += line;
        text += kLineEnd;
    }
    return text;
}

std::string_view footerFileName(std::string_view choice) {
    return choice == "Humorous" ? "humour.txt" : "words.txt";
}

ProfileRecord firstProfileRecord(const std::string& sigFolder, std::string name,
                                 std::string_view footerChoice) {
    const std::string folder = sigFolder + kPathSeparator;
    return {std::move(name), folder + std::string(kFirstHeaderName),
            folder + std::string(footerFileName(footerChoice)), folder + std::string(kFirstSigName)};
}

std::string storedValueProblem(std::string_view value) {
    if (value.size() > kMaxStoredValue)
        return "it is longer than the settings file can hold (" + std::to_string(kMaxStoredValue) + " bytes)";
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return "it holds a line break";
    if (!value.empty() && (isBlank(value.front()) || isBlank(value.back())))
        return "it begins or ends with a blank";
    return {};
}

Status writeFirstHeader(const std::string& path, std::string_view bytes) {
    if (Status made = makeFoldersFor(path); !made)
        return made;
    return writeFileAtomic(path, bytes);
}

} // namespace quillmark
