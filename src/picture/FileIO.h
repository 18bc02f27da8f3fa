// Whole-file reads and all-or-nothing writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvellin {

// True when path names an existing regular file (a folder is not a file).
bool FileExists(const std::string& path);

// Reads the whole file. Throws Error("Cannot open file "<path>". <reason>"),
// or Error("Cannot read file "<path>". ...") when it fails part-way or is
// larger than kMaxReadFileBytes (picture/Limits.h).
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Writes bytes to a temporary file in the target's folder and renames it over
// the target only once every byte is on disk, so a failed write (full disk, no
// permission, a missing folder) leaves an existing file exactly as it was and
// leaves no temporary file behind. An existing target keeps its permissions.
// Throws Error with the path and the system's reason.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace corvellin
