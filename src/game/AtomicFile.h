#pragma once
#include <string>

// Writes a whole file so that a crash leaves either the old file or the new
// one, never half a file: the bytes go to a temporary file in the same
// folder, are flushed to the disk (fsync) and renamed over the old file.
// Missing folders of the path are created first (mode 0755). A new file gets
// mode 0644, a file that was there keeps its mode, and a link to the file
// stays a link (the file it names is replaced). On failure errno says why.
namespace AtomicFile {

// False when any step fails (nothing is left behind then, the old file stands).
bool write(const std::string& path, const std::string& bytes);

}  // namespace AtomicFile
