#pragma once
// An index of where the entries of a source file begin, kept between runs, so that a run
// writing one signature from a very large quote file reads only the entry it draws.
//
// Each index lives in the cache folder and is tied to one version of one file: its
// device, inode, size, modification time and change time (nanoseconds), and the
// separator it was split with. Any difference, a damaged or foreign index, or a link
// planted in its place, and the file is split afresh and the index written again; where
// the index cannot be written (a read-only or full disk) the run goes on without it.
// The pick is always the entry the full parse gives for the same random number.

#include "platform/result.h"
#include "signature/entries.h"
#include "signature/random.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The program's cache folder (cacheFolder in platform/app_folders.h).
std::string entryIndexFolder();

// The index file of a source file with this device and inode, for this separator.
std::string entryIndexPath(const std::string& folder, std::uint64_t device, std::uint64_t inode,
                           std::string_view separator);

// Offsets of the lines that begin a new entry (the separator lines), in file order: entry
// k (0-based) runs from the k-th such line (the start of the file for k = 0) to the next.
std::vector<std::uint64_t> separatorLineOffsets(std::string_view bytes, std::string_view separator);

// pickEntryFromFile through the index in `indexFolder`: the same draw, the same entry,
// the same count, and the same fallback for an empty path, a missing or unreadable file.
Status pickEntryIndexed(const std::string& path, std::string_view separator,
                        const std::vector<std::string>& fallback, RandomSource& random, EntryPick& pick,
                        const std::string& indexFolder);

} // namespace quillmark
