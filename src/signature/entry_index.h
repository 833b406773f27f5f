#pragma once
// An index of where the entries of a source file begin, kept between runs, so that a run
// writing one signature from a very large quote file reads only about the entry it draws.
//
// One index per source path in the cache folder, named by a hash of the absolute path. It
// holds the path, the separator, the file's version (device, inode, size, times), the
// EntryTable and a checksum. A pick reads from the sample before the entry drawn to the
// next one and checks the entries it meets there; any difference, or a damaged, foreign or
// planted index, and the file is scanned afresh and the index rewritten (or done without
// where it cannot be written). The pick is always what the full parse gives.

#include "signature/entries.h"
#include "signature/random.h"

#include <string>
#include <string_view>

namespace quillmark {

std::string entryIndexPath(const std::string& folder, const std::string& sourcePath);

// pickEntryFromFile through the index in `indexFolder`: the same draw, the same entry,
// the same count, and the same fallback for an empty path, a missing or unreadable file.
FilePick pickEntryIndexed(const std::string& path, std::string_view separator, const EntryList& fallback,
                          RandomSource& random, const std::string& indexFolder);

// Keeps the cache folder bounded, at most once a day: drops indexes whose source is gone, unused
// for 30 days or of an older format, and temporary files a killed write left a day ago or more.
void tidyEntryIndexFolder(const std::string& indexFolder);

} // namespace quillmark
