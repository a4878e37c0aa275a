#pragma once
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

// Checks that a save replaces its file whole (game/AtomicFile.h): seen from
// outside, with nothing but the file system, and the same for root as for
// anyone else (no permission tricks).
namespace SaveChecks {

// The bytes of a file; empty when it cannot be read.
inline std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Bytes for a failure message: short text as it is, anything longer by its size.
inline std::string shown(const std::string& bytes) {
    return bytes.size() <= 80 ? "\"" + bytes + "\"" : std::to_string(bytes.size()) + " bytes";
}

inline std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

// save() writes new bytes over the file at path. A file written in place
// would change under a hard link made to it beforehand; a file replaced by
// rename leaves the link the old bytes and the path a file of its own (a
// new inode, since the link keeps the old one alive).
inline testing::AssertionResult replacesTheFile(const std::string& path, const std::function<bool()>& save) {
    const std::string old = bytesOf(path);
    if (old.empty()) return testing::AssertionFailure() << "no file to replace at " << path;
    const std::string link = path + ".link-to-the-old-file";
    if (::link(path.c_str(), link.c_str()) != 0) return testing::AssertionFailure() << "cannot link to " << path;
    struct stat before {}, after {};
    stat(path.c_str(), &before);
    const bool saved = save();
    stat(path.c_str(), &after);
    const std::string linked = bytesOf(link), now = bytesOf(path);
    unlink(link.c_str());
    if (!saved) return testing::AssertionFailure() << "the save failed";
    if (linked != old)
        return testing::AssertionFailure() << "the old file was written in place: a link to it now holds "
                                           << shown(linked);
    if (after.st_ino == before.st_ino)
        return testing::AssertionFailure() << "the path still names the old file (inode " << before.st_ino << ")";
    if (now == old) return testing::AssertionFailure() << "the save wrote the same bytes again";
    return testing::AssertionSuccess();
}

// Runs save() in a child process that may write no file beyond `limit`
// bytes (RLIMIT_FSIZE with SIGXFSZ ignored: a write past the limit fails
// with EFBIG, as on a full disk, for root too). The save must report the
// failure, and the file at path must stay byte for byte what it was, with
// nothing left beside it in its folder. The limit must lie below the size
// of what the save writes. What the save printed on the console goes to
// `console` when given.
inline testing::AssertionResult aCutOffSaveLeavesTheOldFile(const std::string& path, rlim_t limit,
                                                            const std::function<bool()>& save,
                                                            std::string* console = nullptr) {
    const std::string old = bytesOf(path);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const std::set<std::string> before = namesIn(folder);
    int output[2];
    if (pipe(output) != 0) return testing::AssertionFailure() << "no pipe";
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = fork();
    if (child < 0) return testing::AssertionFailure() << "cannot fork";
    if (child == 0) {
        // The console into the pipe, which no file size limit cuts. Out by
        // _exit: the child runs no exit handlers, test listeners or
        // destructors of the parent's.
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        signal(SIGXFSZ, SIG_IGN);
        const struct rlimit cut = {limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &cut) != 0) _exit(3);
        const bool saved = save();
        std::fflush(stdout);
        _exit(saved ? 1 : 0);
    }
    close(output[1]);
    std::string printed;
    char buffer[1024];
    for (ssize_t n; (n = read(output[0], buffer, sizeof(buffer))) > 0;) printed.append(buffer, static_cast<size_t>(n));
    close(output[0]);
    if (console) *console = printed;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return testing::AssertionFailure() << "lost the saving child";
    if (!WIFEXITED(status)) return testing::AssertionFailure() << "the saving child died of signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == 1)
        return testing::AssertionFailure() << "the save reported success though its writes stopped at " << limit
                                           << " bytes";
    if (WEXITSTATUS(status) != 0)
        return testing::AssertionFailure() << "the saving child ended with code " << WEXITSTATUS(status);
    const std::string now = bytesOf(path);
    if (now != old) return testing::AssertionFailure() << "the old file was damaged: it holds " << shown(now);
    const std::set<std::string> after = namesIn(folder);
    if (after != before) {
        testing::AssertionResult failure = testing::AssertionFailure();
        failure << "the folder changed:";
        for (const std::string& name : after)
            if (!before.count(name)) failure << " " << name;
        return failure;
    }
    return testing::AssertionSuccess();
}

}  // namespace SaveChecks
