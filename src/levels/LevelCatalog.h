#pragma once
#include <optional>
#include <string>
#include <vector>

#include "levels/LevelDescription.h"

// The levels the game ships and the player adds: the level files of FOLDER
// in the data folder, each known by its file name without ".toml" (its id).
// A level can also be any level file elsewhere, named by its path.
class LevelCatalog {
public:
    static constexpr const char* FOLDER = "levels";
    static constexpr const char* FIRST = "demo";  // the level played when none is chosen

    // A level's file: FOLDER/NAME.toml for a plain name, the text itself
    // for a path (it holds a '/' or ends in ".toml").
    static std::string fileOf(const std::string& nameOrFile);
    static bool isPath(const std::string& nameOrFile);

    // The ids of FOLDER's level files, the first level first, then by name.
    static std::vector<std::string> ids();
    // The id after current in ids(), round to the first; the first level
    // when current is none of them.
    static std::string next(const std::string& current);

    // What --levels prints: one line per level, its id, name and
    // description, or the first of its faults.
    static std::string listing();

    // The level of a name or file, or nothing with its faults in errors.
    static std::optional<LevelDescription> read(const std::string& nameOrFile, std::vector<std::string>& errors);
};
