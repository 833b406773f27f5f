// The file functions against Windows' (here Wine's) file system.
#include "platform/file_io.h"
#include "platform/file_lock.h"
#include "platform/paths.h"
#include "platform/windows/win_text.h"

#include "support/temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace quillmark {
namespace {

using test::TempFolder;
using namespace std::chrono_literals;
using namespace std::string_literals;
using Names = std::vector<std::string>;

// The folder's entries as Windows lists them.
Names namesIn(const std::string& folder) {
    Names names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(win::widePath(folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found))
        if (std::wstring_view(found.cFileName) != L"." && std::wstring_view(found.cFileName) != L"..")
            names.push_back(win::toUtf8(found.cFileName));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Opens the file as a program that does not let others delete or rename it would.
HANDLE holdOpen(const std::string& path) {
    return ::CreateFileW(win::widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(FileIoWindows, NonAsciiNamesAndLongPathsAreWrittenReadAndFound) {
    TempFolder tmp;
    const std::string top = "J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC";
    const std::string deep = tmp.file(top) + "\\" + std::string(120, 'a') + "\\" + std::string(120, 'b');
    ASSERT_TRUE(makeFolders(deep).ok());
    const std::string file = deep + "\\sig\xC3\xA9.txt", bytes = "Line one\r\nLine two\n\x00 end"s;
    ASSERT_TRUE(writeFileAtomic(file, bytes).ok());
    ASSERT_TRUE(appendToFile(file, "more").ok());
    EXPECT_EQ(readFile(file).value(), bytes + "more") << "no line-end or code-page translation";
    EXPECT_TRUE(fileExists(deep + "\\SIG*.TXT")) << "patterns match without case, as on Windows";
    EXPECT_EQ(namesIn(deep), Names{"sig\xC3\xA9.txt"});
}

TEST(FileIoWindows, FailuresSayWhatWentWrongAndLeaveTheOldFile) {
    TempFolder tmp;
    EXPECT_EQ(writeFileAtomic(tmp.file("no\\such\\out.txt"), "x").code(), ErrorCode::PathNotFound);
    const std::string locked = tmp.file("readonly.txt");
    test::spit(locked, "old");
    ASSERT_TRUE(::SetFileAttributesW(win::widePath(locked).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(writeFileAtomic(locked, "new").code(), ErrorCode::AccessDenied);
    EXPECT_EQ(test::slurp(locked), "old");
    ::SetFileAttributesW(win::widePath(locked).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileIoWindows, ReplacingAFileAnotherProgramHoldsOpenWaitsAShortWhileThenFails) {
    TempFolder tmp;
    const std::string sig = tmp.file("sig.txt");
    ASSERT_TRUE(writeFileAtomic(sig, "old").ok());
    HANDLE held = holdOpen(sig);
    const Status failed = writeFileAtomic(sig, "new");
    ::CloseHandle(held);
    EXPECT_EQ(failed.code(), ErrorCode::AccessDenied) << failed.message();
    EXPECT_EQ(test::slurp(sig), "old");
    // Held for a moment, as a mail program reading the signature does: the write gets through.
    held = holdOpen(sig);
    std::thread release([held] {
        std::this_thread::sleep_for(150ms);
        ::CloseHandle(held);
    });
    const Status written = writeFileAtomic(sig, "new");
    release.join();
    EXPECT_TRUE(written.ok()) << written.message();
    // A killed write's leftover goes; a live writer's file and other names stay.
    test::spit(tmp.file(".sig.txt.AB12CD"), "killed half-way");
    test::spit(tmp.file(".sig.txt.NOTOURS1"), "another pattern");
    HANDLE writer = ::CreateFileW(win::widePath(tmp.file(".sig.txt.LIVE99")).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_TRUE(writeFileAtomic(sig, "fresh").ok());
    ::CloseHandle(writer);
    EXPECT_EQ(namesIn(tmp.path()), (Names{".sig.txt.LIVE99", ".sig.txt.NOTOURS1", "sig.txt"}));
}

TEST(FileLockWindows, SecondHolderWaitsUntilTheFirstLetsGo) {
    TempFolder tmp;
    const std::string path = tmp.file("Sub Folder\\Quillmark.INI.lock");
    Result<FileLock> first = FileLock::acquire(path, 0ms);
    ASSERT_TRUE(first.ok()) << first.error().message;
    EXPECT_FALSE(FileLock::acquire(path, 300ms).ok()) << "another handle, even in this process, waits";
    {
        FileLock moved = std::move(*first);
        EXPECT_FALSE(FileLock::acquire(path, 0ms).ok()) << "a moved lock is still held";
    }
    EXPECT_TRUE(FileLock::acquire(path, 0ms).ok()) << "a destroyed lock is let go";
}

} // namespace
} // namespace quillmark
