#include "levels/LevelDescription.h"

#include <cmath>
#include <cstdio>

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

// Times are compared as the watch shows them, to the millisecond: a race
// shown as the gold time earns gold. How far is rounded up to a tenth, so
// that "0.0 s from gold" never shows.
std::string LevelDescription::Medals::verdict(double seconds) const {
    const double shown = std::floor(seconds * 1000.0 + 1e-6) / 1000.0;
    auto from = [shown](const char* medal, double time, const char* next) {
        char text[96];
        std::snprintf(text, sizeof text, "%s, %.1f s from %s", medal, std::ceil((shown - time) * 10.0 - 1e-9) / 10.0, next);
        return std::string(text);
    };
    if (shown <= gold) return "Gold medal!";
    if (shown <= silver) return from("Silver medal", gold, "gold");
    if (shown <= bronze) return from("Bronze medal", silver, "silver");
    return from("No medal", bronze, "bronze");
}
