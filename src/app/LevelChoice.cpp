#include "app/LevelChoice.h"

#include "levels/LevelCatalog.h"

LevelChoice::Start LevelChoice::atStart(const std::string& asked, const std::string& kept) {
    Start start;
    std::vector<std::string> errors;
    if (!asked.empty()) {
        start.level = LevelCatalog::read(asked, errors);
        for (const std::string& e : errors) start.messages.push_back(e);
        if (!start.level) start.messages.push_back("the level " + asked + " cannot be played");
        return start;
    }
    if (!kept.empty() && kept != LevelCatalog::FIRST) {
        start.level = LevelCatalog::read(kept, errors);
        if (start.level) return start;
        start.messages.push_back("the level " + kept + " of the last game cannot be read (" +
                                 (errors.empty() ? "unreadable" : errors.front()) + "): playing " +
                                 LevelCatalog::FIRST);
        errors.clear();
    }
    start.level = LevelCatalog::read(LevelCatalog::FIRST, errors);
    for (const std::string& e : errors) start.messages.push_back(e);
    return start;
}

std::string LevelChoice::keptName(const LevelDescription& level) {
    return level.file == LevelCatalog::fileOf(level.id) ? level.id : level.file;
}
