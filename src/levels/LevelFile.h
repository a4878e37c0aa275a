#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "levels/LevelDescription.h"

// Reads a level file (TOML, see docs/levels.md) into a LevelDescription and
// checks it whole before anything is built: a level with any fault is
// refused, so a game never starts half a level. Every fault is listed, each
// as "file:line: key: what is wrong" (the line of the key, or of its table
// when the key is missing): a syntax error, an unknown table, key or kind, a
// value of the wrong type or out of range, a position off the terrain, a
// sign inside the start area, a file the level names that is missing or no
// picture of the right kind, a format newer than this game reads.
//
// Paths are resolved against the file's folder and normalised, so that a
// level in levels/ naming "../terrain/heightmap.png" opens
// "terrain/heightmap.png" from the data folder.
class LevelFile {
public:
    // Larger files are refused unread: no level needs more than a few kB.
    static constexpr std::uintmax_t MAX_BYTES = 1u << 20;
    // What one level may hold at most.
    static constexpr std::size_t MAX_SIGNS = 16, MAX_ITEMS = 64, MAX_PURSUERS = 16, MAX_CHECKPOINTS = 64;
    // How far inside the terrain's edge everything must stand (units).
    static constexpr float EDGE_MARGIN = 10.0f;

    // The level at path, or nothing with the faults in errors.
    static std::optional<LevelDescription> read(const std::string& path, std::vector<std::string>& errors);
    // The same for a file's text; files it names are looked for beside path.
    static std::optional<LevelDescription> parse(const std::string& text, const std::string& path,
                                                 std::vector<std::string>& errors);
};
