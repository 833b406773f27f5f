// Opening documents and setting the desktop picture through the Windows shell.
#include "platform/documents.h"
#include "platform/windows/shell.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace quillmark::win {
namespace {

TEST(ShellWindows, AFailedOpenGivesACodeTheMessageTableKnows) {
    test::TempFolder tmp;
    const Status missing = shellOpen(tmp.file("no such document.txt"));
    EXPECT_EQ(missing.code(), ErrorCode::NotFound);
    EXPECT_EQ(missing.message(), "File not found");
    const Status path = shellOpen(tmp.file("no such folder\\document.txt"));
    EXPECT_TRUE(path.code() == ErrorCode::NotFound || path.code() == ErrorCode::PathNotFound)
        << path.message();
    EXPECT_FALSE(path.message().empty());
}

// Without a display Wine has no desktop to show the picture on: this only proves that the
// call is made the right way and that Windows accepts it.
TEST(ShellWindows, TheDesktopPictureCallIsAccepted) {
    test::TempFolder tmp;
    const std::string bitmap = tmp.file("QuillmarkWallpaper.bmp");
    // The smallest valid bitmap: one white pixel.
    const unsigned char bmp[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40,  0,   0,   0, 1, 0,
                                 0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,   0,   0,   0, 0, 0,
                                 0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 255, 255, 255, 0};
    test::spit(bitmap, std::string_view(reinterpret_cast<const char*>(bmp), sizeof bmp));
    const Status status = setDesktopWallpaper(bitmap);
    EXPECT_TRUE(status.ok()) << status.message();
}

} // namespace
} // namespace quillmark::win
