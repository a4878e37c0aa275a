#include "game/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {
// Creates every missing folder of the file's path (mkdir -p of its parent).
bool makeParentFolders(const std::string& file) {
    for (size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1)) {
        const std::string folder = file.substr(0, slash);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

std::string folderOf(const std::string& file) {
    const size_t slash = file.find_last_of('/');
    return slash == std::string::npos ? "." : file.substr(0, slash);
}

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}
}  // namespace

bool AtomicFile::write(const std::string& path, const std::string& bytes) {
    if (path.empty() || !makeParentFolders(path)) return false;
    std::string temp = folderOf(path) + "/.zarvik-XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) return false;
    fchmod(fd, 0644);  // mkstemp makes the file private; the game's files are no secret
    const bool written = writeAll(fd, bytes) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (written && closed && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}
