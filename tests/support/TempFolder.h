#pragma once
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// A fresh folder under the system's temporary folder ($TMPDIR, else /tmp),
// named zarvik-<what>-XXXXXX, removed with everything in it when the object
// goes. Only the process that made it removes it: a forked child (a death
// test's, or one a test starts itself) that ends through the destructors
// leaves its parent's folder alone.
class TempFolder {
public:
    explicit TempFolder(const std::string& what = "test") {
        std::string pattern = (std::filesystem::temp_directory_path() / ("zarvik-" + what + "-XXXXXX")).string();
        if (mkdtemp(pattern.data())) folder = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!folder.empty() && getpid() == owner) std::filesystem::remove_all(folder, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Empty when no folder could be made.
    const std::string& path() const { return folder; }
    // A path inside the folder.
    std::filesystem::path operator/(const std::string& name) const { return std::filesystem::path(folder) / name; }

private:
    std::string folder;
    pid_t owner = getpid();
};
