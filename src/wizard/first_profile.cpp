#include "wizard/first_profile.h"

#include "platform/file_io.h"
#include "platform/platform.h"

namespace quillmark {

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

Status writeFirstHeader(const std::string& path, std::string_view bytes) {
    if (Status made = makeFoldersFor(path); !made)
        return made;
    return writeFileAtomic(path, bytes);
}

} // namespace quillmark
