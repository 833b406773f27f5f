#pragma once
// An index of where the entries of a source file begin, kept between runs, so that a run
// writing one signature from a very large quote file reads only about the entry it draws.
//
// There is one index per source path, in the cache folder, named by a hash of the
// absolute path; a new version of the file replaces it. It holds the path, the separator
// and the file's version (device, inode, size, modification and change times), the
// number of entries and the sampled table of where they begin (EntryTable: at most
// 1/256 of the file), and a checksum of itself. A pick reads the file from the sample
// before the entry drawn to the next sample (or the end) and checks that it meets the
// entries the table gives there. Any difference, a damaged or foreign index, or a link
// planted in its place, and the file is scanned afresh and the index written again;
// where it cannot be written (a read-only or full disk) the run goes on without it. The
// pick is always the entry the full parse gives for the same random number.

#include "base/result.h"
#include "signature/entries.h"
#include "signature/random.h"

#include <string>
#include <string_view>

namespace quillmark {

// The program's cache folder (cacheFolder in platform/app_folders.h).
std::string entryIndexFolder();

// The index file of the source file at `sourcePath`.
std::string entryIndexPath(const std::string& folder, const std::string& sourcePath);

// pickEntryFromFile through the index in `indexFolder`: the same draw, the same entry,
// the same count, and the same fallback for an empty path, a missing or unreadable file.
FilePick pickEntryIndexed(const std::string& path, std::string_view separator, const EntryList& fallback,
                          RandomSource& random, const std::string& indexFolder);

// Keeps the cache folder bounded; does its work at most once a day. Drops the indexes
// whose source file is gone, those not used for 30 days, those of an older format, and
// temporary files that a killed write left there a day ago or more.
void tidyEntryIndexFolder(const std::string& indexFolder);

} // namespace quillmark
