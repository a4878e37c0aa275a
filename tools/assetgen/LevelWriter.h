// Writes made levels: a level file (TOML, as docs/levels.md describes it)
// beside its heightmap, and at build time the heightmaps of the levels the
// game ships, whose level files are finished by hand in data/levels/.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "AssetSink.h"
#include "LevelPlan.h"

namespace assetgen {

// The level file's text; `heightmap` is its path relative to the file's folder.
std::string levelToml(const LevelPlan& plan, const std::string& heightmap);

// "level.toml" and "heightmap.png" at the sink's root: a whole level.
// Returns a line that says what was made.
std::string writeMadeLevel(AssetSink& sink, uint32_t seed, LevelShape shape);

// A shipped level's ground, made by the maker from its seed and shape.
struct ShippedLevel {
    const char* id;  // data/levels/<id>.toml names "<id>/heightmap.png"
    uint32_t seed;
    LevelShape shape;
};
extern const ShippedLevel SHIPPED_LEVELS[2];
// "levels/<id>/heightmap.png" for each shipped level.
void writeShippedLevelGrounds(AssetSink& sink);

// "hills", "valley" or "pass"; nothing for another word.
std::optional<LevelShape> shapeNamed(const std::string& word);

}  // namespace assetgen
