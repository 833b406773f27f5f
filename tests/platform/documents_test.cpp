#include "platform/documents.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(Documents, EveryFailureCodeHasItsMessageAndSuccessNone) {
    const struct {
        int code;
        std::string_view text;
    } cases[] = {
        {0, "Unknown error"},
        {2, "File not found"},
        {3, "Path not found"},
        {5, "Access denied"},
        {8, "Out of memory"},
        {11, "Invalid EXE file or error in EXE image"},
        {25, "Unknown error"},
        {26, "A sharing violation occurred"},
        {27, "Incomplete or invalid file association"},
        {28, "DDE Time out"},
        {29, "DDE transaction failed"},
        {30, "DDE busy"},
        {31, "No association for file extension"},
        {32, "DLL not found"},
        {33, ""},
        {42, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shellErrorText(c.code), c.text) << c.code;
}

} // namespace
} // namespace quillmark
