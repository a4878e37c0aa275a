#include "game/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
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
    if (path.empty()) return false;
    // A link to the file stays a link: the file it names gets the new bytes.
    std::error_code error;
    std::string target = path;
    if (std::filesystem::is_symlink(path, error)) target = std::filesystem::canonical(path, error).string();
    if (target.empty() || !makeParentFolders(target)) return false;
    std::string temp = folderOf(target) + "/.zarvik-XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) return false;
    // mkstemp makes the file private; a new file is no secret, an old one keeps its mode.
    struct stat old {};
    fchmod(fd, stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    const bool written = writeAll(fd, bytes) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (written && closed && std::rename(temp.c_str(), target.c_str()) == 0) return true;
    const int saved = errno;
    unlink(temp.c_str());
    errno = saved;
    return false;
}
