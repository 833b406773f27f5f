#include "wallpaper/wallpaper_list.h"

#include "platform/file_io.h"
#include "platform/file_names.h"
#include "platform/platform.h"

#include <algorithm>
#include <cctype>

namespace quillmark {

PathList::PathList(std::initializer_list<std::string_view> paths) {
    for (std::string_view p : paths)
        push_back(p);
}

void PathList::push_back(std::string_view path) {
    m_text += path;
    m_ends.push_back(m_text.size());
}

void PathList::reserve(std::size_t entries, std::size_t bytes) {
    m_ends.reserve(entries);
    m_text.reserve(bytes);
}

WallpaperList parseWallpaperList(std::string_view bytes) {
    WallpaperList list;
    // Sized once: growing by doubling would hold the old and the new storage at once.
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' ? i == 0 || bytes[i - 1] != '\r' : bytes[i] == '\r')
            ++lines;
    list.entries.reserve(lines + 1, bytes.size());
    std::size_t start = 0;
    const auto take = [&](std::size_t end) {
        std::string_view line = bytes.substr(start, end - start);
        if (line.empty() || line.find('\0') != std::string_view::npos)
            ++list.skippedLines;
        else
            list.entries.push_back(line);
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        take(i);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        take(bytes.size());
    return list;
}

Result<WallpaperList> loadWallpaperList(const std::string& path) {
    FileReader reader;
    if (Status opened = reader.open(path); !opened)
        return opened.error();
    std::string bytes;
    char chunk[65536];
    for (;;) {
        Result<std::size_t> got = reader.read(chunk, sizeof chunk);
        if (!got)
            return got.error();
        if (*got == 0)
            break;
        if (bytes.size() + *got > kMaxWallpaperListBytes)
            return Error{ErrorCode::TooLarge, "the list file is larger than 64 MB"};
        bytes.append(chunk, *got);
    }
    return parseWallpaperList(bytes);
}

std::string formatWallpaperList(const PathList& entries) {
    std::string out;
    for (std::string_view e : entries) {
        out += e;
        out += kLineEnd;
    }
    return out;
}

Status saveWallpaperList(const std::string& path, const PathList& entries) {
    return writeFileAtomic(path, formatWallpaperList(entries));
}

std::string wallpaperCountCaption(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " wallpaper file" : " wallpaper files");
}

bool samePath(std::string_view a, std::string_view b) {
    if (!kCaseInsensitiveFileNames)
        return a == b;
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::size_t addUniquePaths(PathList& list, const std::vector<std::string>& paths) {
    std::size_t added = 0;
    for (const std::string& p : paths) {
        if (p.empty())
            continue;
        const bool present =
            std::any_of(list.begin(), list.end(), [&](std::string_view e) { return samePath(e, p); });
        if (!present) {
            list.push_back(p);
            ++added;
        }
    }
    return added;
}

Deletion deleteSelected(PathList& list, std::vector<std::size_t> selected) {
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    selected.erase(
        std::remove_if(selected.begin(), selected.end(), [&](std::size_t i) { return i >= list.size(); }),
        selected.end());
    Deletion d;
    if (selected.empty())
        return d;
    // Removing from the top one at a time shifts every later selected entry up by one, so
    // the last removal lands at the last selected index minus the removals before it.
    const std::size_t lastIndex = selected.back() - (selected.size() - 1);
    PathList kept;
    kept.reserve(list.size() - selected.size(), 0);
    for (std::size_t i = 0, next = 0; i < list.size(); ++i) {
        if (next < selected.size() && selected[next] == i)
            ++next;
        else
            kept.push_back(list[i]);
    }
    list = std::move(kept);
    d.removed = selected.size();
    if (lastIndex < list.size())
        d.select = lastIndex;
    return d;
}

std::optional<std::size_t> pickUsableEntry(const PathList& list, float r,
                                           const std::function<bool(std::string_view)>& usable) {
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (usable(list[i]))
            candidates.push_back(i);
    if (candidates.empty())
        return std::nullopt;
    const double scaled = static_cast<double>(r) * static_cast<double>(candidates.size());
    std::size_t k = scaled > 0 ? static_cast<std::size_t>(scaled) : 0;
    k = std::min(k, candidates.size() - 1);
    return candidates[k];
}

} // namespace quillmark
