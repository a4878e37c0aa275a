#pragma once
#include <optional>
#include <string>
#include <vector>

#include "levels/LevelDescription.h"

// Which level a game plays, and what the settings file keeps of it.
//
// At start: the level asked for on the command line; one that cannot be read
// ends the game (its faults printed, exit status 2). Else the level kept from
// the last game; one that can no longer be read gives way to the first level
// with a message. Else the first level.
class LevelChoice {
public:
    struct Start {
        std::optional<LevelDescription> level;  // none: the game ends
        std::vector<std::string> messages;      // for the console, one line each
    };
    static Start atStart(const std::string& asked, const std::string& kept);

    // What the settings keep of a level: its name when it is one of the
    // levels folder's, else its file's path as it was read (absolute).
    static std::string keptName(const LevelDescription& level);
};
