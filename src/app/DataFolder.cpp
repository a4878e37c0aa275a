#include "app/DataFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "app/Version.h"

namespace {
const char* const DATA_FOLDERS[] = {"audio", "images", "models", "terrain"};

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Relative names are taken from the working directory the game started in,
// before it changes into the data folder.
std::string absolute(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::absolute(path, ignored).lexically_normal().string();
}
}  // namespace

std::vector<DataFolder::Place> DataFolder::places(const std::string& option, const char* environment,
                                                  const std::string& executable) {
    if (!option.empty()) return {{absolute(option), "--data"}};
    if (environment && environment[0]) return {{absolute(environment), "$ZARVIK_DATA"}};
    if (executable.empty()) return {};
    const std::filesystem::path folder = std::filesystem::path(executable).parent_path();
    return {{folder.string(), "beside the program"},
            {(folder / ZARVIK_DATA_FROM_EXECUTABLE).lexically_normal().string(), "installed"}};
}

bool DataFolder::holdsData(const std::string& folder) {
    for (const char* data : DATA_FOLDERS)
        if (!isFolder(folder + "/" + data)) return false;
    return true;
}

std::optional<std::string> DataFolder::find(const std::vector<Place>& places, std::string& error) {
    std::string tried;
    for (const Place& place : places) {
        if (holdsData(place.folder)) return place.folder;
        tried += (tried.empty() ? "" : ", ") + place.folder + " (" + place.what + ")";
    }
    error = "no game data (the folders audio, images, models and terrain) in " +
            (tried.empty() ? std::string("any place: the program's own path is unknown") : tried);
    return std::nullopt;
}

std::string DataFolder::executable() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return "";
    return std::string(path, static_cast<size_t>(n));
}
