#include "game/UserDataFolder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

std::string UserDataFolder::path(const std::string& sub) {
    std::string folder;
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data && data[0] == '/') folder = std::string(data) + "/zarvik";
    else if (home && home[0]) folder = std::string(home) + "/.local/share/zarvik";
    else return "";
    return sub.empty() ? folder : folder + "/" + sub;
}

bool UserDataFolder::create(const std::string& folder, std::string& error) {
    // Every prefix that ends before a slash, then the whole path.
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        struct stat info;
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            error = part + ": " + std::strerror(errno);
            return false;
        }
        // EEXIST also answers for a file of that name.
        if (stat(part.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            error = part + ": not a folder";
            return false;
        }
        if (end == std::string::npos) return true;
    }
}
