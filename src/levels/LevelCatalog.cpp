#include "levels/LevelCatalog.h"

#include <algorithm>
#include <filesystem>

#include "levels/LevelFile.h"

namespace fs = std::filesystem;

bool LevelCatalog::isPath(const std::string& nameOrFile) {
    const std::string suffix = ".toml";
    return nameOrFile.find('/') != std::string::npos ||
           (nameOrFile.size() > suffix.size() &&
            nameOrFile.compare(nameOrFile.size() - suffix.size(), suffix.size(), suffix) == 0);
}

std::string LevelCatalog::fileOf(const std::string& nameOrFile) {
    return isPath(nameOrFile) ? nameOrFile : std::string(FOLDER) + "/" + nameOrFile + ".toml";
}

std::vector<std::string> LevelCatalog::ids() {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(FOLDER, error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == ".toml") found.push_back(it->path().stem().string());
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        if ((a == FIRST) != (b == FIRST)) return a == FIRST;
        return a < b;
    });
    return found;
}

std::string LevelCatalog::next(const std::string& current) {
    const std::vector<std::string> all = ids();
    const auto at = std::find(all.begin(), all.end(), current);
    if (at == all.end() || at + 1 == all.end()) return all.empty() ? FIRST : all.front();
    return *(at + 1);
}

std::string LevelCatalog::listing() {
    std::string text;
    for (const std::string& id : ids()) {
        std::vector<std::string> errors;
        const std::optional<LevelDescription> level = read(id, errors);
        if (level) text += id + "  " + level->name + ": " + level->description + "\n";
        else text += id + "  (cannot be played: " + (errors.empty() ? "unreadable" : errors.front()) + ")\n";
    }
    return text;
}

std::optional<LevelDescription> LevelCatalog::read(const std::string& nameOrFile, std::vector<std::string>& errors) {
    return LevelFile::read(fileOf(nameOrFile), errors);
}
