// The file functions against Windows' (here Wine's) file system: wide names, long paths,
// and a target another program holds open while the program replaces it.
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/windows/win_text.h"

#include "support/temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace quillmark {
namespace {

using test::TempFolder;
using namespace std::string_literals;
namespace fs = std::filesystem;

// The folder's entries as Windows lists them (the C++ library's own listing does not take
// the long-path prefix).
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(win::widePath(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(win::toUtf8(name));
    } while (::FindNextFileW(search, &found));
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
    const std::string deep = tmp.path() + "\\J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC\\" +
                             std::string(120, 'a') + "\\" + std::string(120, 'b');
    ASSERT_GT(deep.size(), 260u);
    ASSERT_TRUE(makeFolders(deep).ok());
    std::string folder = deep;
    EXPECT_TRUE(folderExists(folder));

    const std::string file = deep + "\\sig\xC3\xA9.txt";
    const std::string bytes = "Line one\r\nLine two\n\xE2\x80\x94 \x00 end"s;
    ASSERT_TRUE(writeFileAtomic(file, bytes).ok());
    EXPECT_TRUE(fileExists(file));
    EXPECT_TRUE(fileExists(deep + "\\SIG*.TXT")) << "patterns match without case, as on Windows";
    EXPECT_FALSE(fileExists(deep + "\\*.bmp"));
    auto read = readFile(file);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(*read, bytes) << "contents stay bytes: no line-end or code-page translation";

    ASSERT_TRUE(appendToFile(file, "more").ok());
    EXPECT_EQ(readFile(file).value(), bytes + "more");

    // The same file under the name Windows itself shows: no mangled "?" letters.
    const auto names = namesIn(tmp.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(namesIn(deep), std::vector<std::string>{"sig\xC3\xA9.txt"}) << "no temporary file left";
}

TEST(FileIoWindows, FailuresSayWhatWentWrongAndLeaveTheOldFile) {
    TempFolder tmp;
    EXPECT_EQ(readFile(tmp.file("missing.txt")).code(), ErrorCode::NotFound);
    EXPECT_EQ(readFile(tmp.file("no\\such\\missing.txt")).code(), ErrorCode::PathNotFound);
    EXPECT_EQ(writeFileAtomic(tmp.file("no\\such\\out.txt"), "x").code(), ErrorCode::PathNotFound);
    EXPECT_EQ(readFile(tmp.path()).code(), ErrorCode::IsDirectory);
    EXPECT_EQ(writeFileAtomic(tmp.path(), "x").code(), ErrorCode::IsDirectory);
    EXPECT_EQ(writeFileAtomic("\\\\.\\COM1", "x").code(), ErrorCode::SpecialFile);
    // A pipe of the test's own, whose reader would wait for ever: refused before a read.
    const std::string pipe = "\\\\.\\pipe\\quillmark-test-" + std::to_string(::GetCurrentProcessId());
    HANDLE servers[2];
    for (HANDLE& server : servers) {
        server = ::CreateNamedPipeW(win::widePath(pipe).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 2, 0,
                                    0, 0, nullptr);
        ASSERT_NE(server, INVALID_HANDLE_VALUE);
    }
    EXPECT_EQ(readFile(pipe).code(), ErrorCode::SpecialFile);
    EXPECT_EQ(FileReader().open(pipe).code(), ErrorCode::SpecialFile);
    for (HANDLE server : servers)
        ::CloseHandle(server);

    const std::string locked = tmp.file("readonly.txt");
    test::spit(locked, "old");
    ASSERT_TRUE(::SetFileAttributesW(win::widePath(locked).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(writeFileAtomic(locked, "new").code(), ErrorCode::AccessDenied);
    EXPECT_EQ(test::slurp(locked), "old");
    ::SetFileAttributesW(win::widePath(locked).c_str(), FILE_ATTRIBUTE_NORMAL);

    // A file in the way of a folder.
    test::spit(tmp.file("plain"), "");
    EXPECT_FALSE(makeFolders(tmp.file("plain\\sub")).ok());
}

TEST(FileIoWindows, ReplacingAFileAnotherProgramHoldsOpenWaitsAShortWhileThenFails) {
    TempFolder tmp;
    const std::string sig = tmp.file("sig.txt");
    ASSERT_TRUE(writeFileAtomic(sig, "old").ok());

    // Held for good: the write gives up with the old file whole and nothing left over.
    HANDLE held = holdOpen(sig);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto start = std::chrono::steady_clock::now();
    const Status failed = writeFileAtomic(sig, "new");
    const auto waited = std::chrono::steady_clock::now() - start;
    ::CloseHandle(held);
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.code(), ErrorCode::AccessDenied) << failed.message();
    EXPECT_NE(failed.message().find(sig), std::string::npos);
    EXPECT_GE(waited, std::chrono::milliseconds(500)) << "it retried before giving up";
    EXPECT_LT(waited, std::chrono::seconds(5)) << "a stuck reader must not freeze the program";
    EXPECT_EQ(test::slurp(sig), "old");
    EXPECT_EQ(namesIn(tmp.path()), std::vector<std::string>{"sig.txt"});

    // Held for a moment, as a mail program reading the signature does: the write gets through.
    held = holdOpen(sig);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        ::CloseHandle(held);
    });
    const Status written = writeFileAtomic(sig, "new");
    release.join();
    EXPECT_TRUE(written.ok()) << written.message();
    EXPECT_EQ(test::slurp(sig), "new");
    EXPECT_EQ(namesIn(tmp.path()), std::vector<std::string>{"sig.txt"});
}

TEST(FileIoWindows, LeftoversOfAKilledWriteGoButALiveWritersFileStays) {
    TempFolder tmp;
    const std::string sig = tmp.file("sig.txt");
    test::spit(tmp.file(".sig.txt.AB12CD"), "killed half-way");
    test::spit(tmp.file(".sig.txt.NOTOURS1"), "another pattern");
    const std::string live = tmp.file(".sig.txt.LIVE99");
    HANDLE writer = ::CreateFileW(win::widePath(live).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(writeFileAtomic(sig, "fresh").ok());
    ::CloseHandle(writer);
    EXPECT_FALSE(fs::exists(tmp.file(".sig.txt.AB12CD")));
    EXPECT_TRUE(fs::exists(tmp.file(".sig.txt.NOTOURS1")));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_EQ(test::slurp(sig), "fresh");
}

TEST(FileIoWindows, TheReaderReadsInPiecesAndRefusesAFolder) {
    TempFolder tmp;
    const std::string file = tmp.file("big.txt");
    const std::string bytes(10000, 'q');
    ASSERT_TRUE(writeFileAtomic(file, bytes).ok());
    FileReader reader;
    ASSERT_TRUE(reader.open(file).ok());
    char buffer[4096];
    EXPECT_EQ(reader.read(buffer, sizeof buffer).value(), 4096u);
    EXPECT_EQ(reader.read(buffer, sizeof buffer).value(), 4096u);
    EXPECT_EQ(reader.read(buffer, sizeof buffer).value(), 10000u - 8192u);
    EXPECT_EQ(reader.read(buffer, sizeof buffer).value(), 0u);
    ASSERT_TRUE(reader.rewind().ok());
    EXPECT_EQ(reader.read(buffer, 10).value(), 10u);

    FileReader folder;
    ASSERT_TRUE(folder.open(tmp.path()).ok());
    EXPECT_EQ(folder.read(buffer, sizeof buffer).code(), ErrorCode::IsDirectory);
    EXPECT_EQ(FileReader().open(tmp.file("none")).code(), ErrorCode::NotFound);
}

} // namespace
} // namespace quillmark
