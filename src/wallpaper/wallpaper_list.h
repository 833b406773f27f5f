#pragma once
// The wallpaper list: the pictures the user keeps on the Wallpaper tab, one full path a
// line in "wallpaper.lst" in the program folder.

#include "base/result.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

inline constexpr std::string_view kWallpaperListName = "wallpaper.lst";

// Bigger list files are refused rather than read into memory whole.
inline constexpr std::size_t kMaxWallpaperListBytes = 64u * 1024u * 1024u;

// The list's paths, stored back to back in one string. A list file of millions of short lines
// then costs a few bytes an entry instead of a string object each.
class PathList {
public:
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;
        const_iterator() = default;
        const_iterator(const PathList* list, std::size_t index) : m_list(list), m_index(index) {}
        std::string_view operator*() const { return (*m_list)[m_index]; }
        const_iterator& operator++() {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++m_index;
            return before;
        }
        bool operator==(const const_iterator&) const = default;

    private:
        const PathList* m_list = nullptr;
        std::size_t m_index = 0;
    };
    using iterator = const_iterator;

    PathList() = default;
    PathList(std::initializer_list<std::string_view> paths);

    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(m_text).substr(begin, m_ends[i] - begin);
    }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    void push_back(std::string_view path);
    void reserve(std::size_t entries, std::size_t bytes);
    bool operator==(const PathList&) const = default;

private:
    std::string m_text;
    std::vector<std::size_t> m_ends; // where each entry ends in m_text
};

struct WallpaperList {
    PathList entries;
    // Lines that cannot name a file (empty, or holding a NUL byte) and were left out.
    std::size_t skippedLines = 0;
};

// Splits list-file bytes at CR LF, CR or LF, whichever editor wrote the file.
WallpaperList parseWallpaperList(std::string_view bytes);
// NotFound when there is no list file yet.
Result<WallpaperList> loadWallpaperList(const std::string& path);

// One entry a line, each ended by the platform's line end.
std::string formatWallpaperList(const PathList& entries);
// Replaces the file atomically; an empty list is an empty file, so removed pictures stay removed.
Status saveWallpaperList(const std::string& path, const PathList& entries);

// "1 wallpaper file", "0 wallpaper files", "12 wallpaper files".
std::string wallpaperCountCaption(std::size_t count);

// Whether two paths name the same file as the platform's file names compare.
bool samePath(std::string_view a, std::string_view b);
// Appends each path unless the list already has it; gives how many were added.
std::size_t addUniquePaths(PathList& list, const std::vector<std::string>& paths);

struct Deletion {
    std::size_t removed = 0;
    // The entry to select afterwards: the one now standing at the last removed index.
    std::optional<std::size_t> select;
};
// Removes the entries at `selected` (indexes in any order, duplicates allowed).
Deletion deleteSelected(PathList& list, std::vector<std::size_t> selected);

// The index for a random change: a uniform pick among the entries whose file is there
// (`usable`), r in [0, 1). None when no entry is usable.
std::optional<std::size_t> pickUsableEntry(const PathList& list, float r,
                                           const std::function<bool(std::string_view)>& usable);

} // namespace quillmark
