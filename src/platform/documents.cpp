#include "platform/documents.h"

#include <utility>

namespace quillmark {

std::string_view shellErrorText(int code) {
    static constexpr std::pair<int, std::string_view> kTexts[] = {
        {2, "File not found"},
        {3, "Path not found"},
        {5, "Access denied"},
        {8, "Out of memory"},
        {11, "Invalid EXE file or error in EXE image"},
        {26, "A sharing violation occurred"},
        {27, "Incomplete or invalid file association"},
        {28, "DDE Time out"},
        {29, "DDE transaction failed"},
        {30, "DDE busy"},
        {31, "No association for file extension"},
        {32, "DLL not found"}};
    for (const auto& [known, text] : kTexts)
        if (known == code)
            return text;
    // Codes above 32 mean the document was opened: there is nothing to report.
    return code > 32 ? std::string_view() : std::string_view("Unknown error");
}

Error shellError(int code) {
    const ErrorCode kind = code == 2   ? ErrorCode::NotFound
                           : code == 3 ? ErrorCode::PathNotFound
                           : code == 5 ? ErrorCode::AccessDenied
                                       : ErrorCode::Other;
    return Error{kind, std::string(shellErrorText(code))};
}

} // namespace quillmark
