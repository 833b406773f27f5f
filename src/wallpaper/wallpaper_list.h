#pragma once
// The wallpaper list: the pictures the user keeps on the Wallpaper tab, one full path a
// line in "wallpaper.lst" in the program folder.

#include "platform/result.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

inline constexpr std::string_view kWallpaperListName = "wallpaper.lst";

// Bigger list files are refused rather than read into memory whole.
inline constexpr std::size_t kMaxWallpaperListBytes = 64u * 1024u * 1024u;

struct WallpaperList {
    std::vector<std::string> entries;
    // Lines that cannot name a file (empty, or holding a NUL byte) and were left out.
    std::size_t skippedLines = 0;
};

// Splits list-file bytes at CR LF, CR or LF, whichever editor wrote the file.
WallpaperList parseWallpaperList(std::string_view bytes);
// NotFound when there is no list file yet.
Result<WallpaperList> loadWallpaperList(const std::string& path);

// One entry a line, each ended by the platform's line end.
std::string formatWallpaperList(const std::vector<std::string>& entries);
// Replaces the file atomically; an empty list is written as an empty file, so that
// removed pictures stay removed.
Status saveWallpaperList(const std::string& path, const std::vector<std::string>& entries);

// "1 wallpaper file", "0 wallpaper files", "12 wallpaper files".
std::string wallpaperCountCaption(std::size_t count);

// Whether two paths name the same file as the platform's file names compare.
bool samePath(std::string_view a, std::string_view b);
// Appends each path unless the list already has it; gives how many were added.
std::size_t addUniquePaths(std::vector<std::string>& list, const std::vector<std::string>& paths);

struct Deletion {
    std::size_t removed = 0;
    // The entry to select afterwards: the one now standing at the last removed index.
    std::optional<std::size_t> select;
};
// Removes the entries at `selected` (indexes in any order, duplicates allowed).
Deletion deleteSelected(std::vector<std::string>& list, std::vector<std::size_t> selected);

// The index for a random change: a uniform pick among the entries whose file is there
// (`usable`), r in [0, 1). None when no entry is usable.
std::optional<std::size_t> pickUsableEntry(const std::vector<std::string>& list, float r,
                                           const std::function<bool(const std::string&)>& usable);

} // namespace quillmark
