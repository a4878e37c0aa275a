#include "levels/LevelDescription.h"

namespace {
// The words a level file names the kinds by, in the order of the enumerations.
const char* const ITEM_WORDS[] = {"booze", "tool", "engine", "vaccine", "overkill"};
const char* const PURSUER_WORDS[] = {"suv", "monster"};
}  // namespace

const char* LevelDescription::kindName(ItemKind kind) { return ITEM_WORDS[static_cast<int>(kind)]; }

const char* LevelDescription::kindName(PursuerKind kind) { return PURSUER_WORDS[static_cast<int>(kind)]; }

std::optional<LevelDescription::ItemKind> LevelDescription::itemKind(const std::string& word) {
    for (int k = 0; k < 5; ++k)
        if (word == ITEM_WORDS[k]) return static_cast<ItemKind>(k);
    return std::nullopt;
}

std::optional<LevelDescription::PursuerKind> LevelDescription::pursuerKind(const std::string& word) {
    for (int k = 0; k < 2; ++k)
        if (word == PURSUER_WORDS[k]) return static_cast<PursuerKind>(k);
    return std::nullopt;
}
