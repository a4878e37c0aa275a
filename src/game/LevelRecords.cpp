#include "game/LevelRecords.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "game/AtomicFile.h"
#include "game/BestTimes.h"
#include "game/GhostFile.h"
#include "game/UserDataFolder.h"

namespace {
std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}
}  // namespace

LevelRecords::LevelRecords(const std::string& userFolder, const std::string& levelId, std::uint64_t print,
                           const Difficulty& difficulty)
    : fingerprint(print) {
    if (userFolder.empty()) return;
    levelFolder = userFolder + "/levels/" + levelId + "-" + hex(print);
    if (!difficulty.isNormal()) levelFolder += std::string("-") + difficulty.name;
}

std::string LevelRecords::recordsPath() const { return levelFolder.empty() ? "" : levelFolder + "/records"; }

std::string LevelRecords::ghostPath() const { return levelFolder.empty() ? "" : levelFolder + "/ghost"; }

bool LevelRecords::prepare() const {
    if (levelFolder.empty()) return false;
    std::string error;
    if (UserDataFolder::create(levelFolder, error)) return true;
    std::printf("\n LevelRecords: WARNING! cannot make %s: %s", levelFolder.c_str(), error.c_str());
    return false;
}

void LevelRecords::adoptOldRecords(const std::string& userFolder, std::uint64_t oldFingerprint) const {
    namespace fs = std::filesystem;
    std::error_code error;
    if (levelFolder.empty() || fs::exists(recordsPath(), error) || fs::exists(ghostPath(), error)) return;
    const std::string oldRecords = userFolder + "/records", oldGhost = userFolder + "/ghost";
    const bool hasRecords = fs::is_regular_file(oldRecords, error), hasGhost = fs::is_regular_file(oldGhost, error);
    if ((!hasRecords && !hasGhost) || !prepare()) return;
    if (hasRecords) {
        BestTimes old(oldRecords);
        old.load();
        BestTimes kept(recordsPath());
        if (old.best() && kept.offer(*old.best()))
            std::printf("\n LevelRecords: the record %s kept for this level", oldRecords.c_str());
    }
    if (!hasGhost) return;
    if (const auto ghost = GhostFile::load(oldGhost, oldFingerprint))
        if (GhostFile::save(ghostPath(), *ghost, fingerprint))
            std::printf("\n LevelRecords: the ghost %s kept for this level", oldGhost.c_str());
}
