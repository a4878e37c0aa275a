#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

// A level as its file describes it (see docs/levels.md): plain data, read by
// LevelFile and built into a world by the game. Every path is already
// resolved against the level file's folder (relative to the working folder
// where it lies below it); every position is [x, z] in world units, the
// origin at the terrain's centre, x to the east and z to the south; heights
// come from the terrain. Headings are compass degrees: 0 north (-z), 90 east (+x).
struct LevelDescription {
    static constexpr int FORMAT = 1;

    struct Place {
        float x = 0.0f, z = 0.0f;
    };

    struct Terrain {
        std::string heightmap;   // greyscale PNG, 8 or 16 bits, any size
        float size = 600.0f;     // world units across, east to west and north to south
        float height = 5.0f;     // world units from black to white
        float base = -5.0f;      // world height of black
        int segments = 8;        // per side, each culled and textured on its own
        std::string tiles;       // folder of <tilePrefix>_a_b.jpg; empty: coloured by height and slope
        std::string tilePrefix = "terrain";
        std::string detail;      // grain laid over the ground; empty: none
        std::string minimap;     // the map's picture; empty: made from the ground's colours
    };

    struct Sky {
        std::array<float, 3> sun = {0.0f, 11.0f, -100.0f};  // direction towards the sun
        std::string picture;                                  // the dome's picture; empty: the game's own
        std::array<float, 3> fogColour = {0.75f, 0.8f, 0.85f};
        float fogDistance = 0.0f;  // where the fog hides everything; 0: no fog
        float fogStart = 0.0f;     // where it begins (at most fogDistance)
    };

    struct Start {
        Place position;
        float heading = 0.0f;
        float radius = 30.0f;  // of the start/finish area
    };

    struct Sign {
        Place position;
        float heading = 0.0f;  // where the plate looks
        std::string name;      // the town's name, written on the plate
        std::string plate;     // a picture for the plate instead; empty: the name is written
    };

    enum class ItemKind { BOOZE, TOOL, ENGINE, VACCINE, OVERKILL };
    struct Item {
        ItemKind kind = ItemKind::BOOZE;
        Place position;
    };

    enum class PursuerKind { SUV, MONSTER };
    struct Pursuer {
        PursuerKind kind = PursuerKind::SUV;
        Place position;
        float heading = 0.0f;
    };

    // Seconds; a race at or under a time earns its medal.
    struct Medals {
        double gold = 0.0, silver = 0.0, bronze = 0.0;
        // What a won race of that many seconds earned, for the player:
        // "Gold medal!", "Silver medal, 2.4 s from gold", ..., "No medal, 3.0 s from bronze".
        std::string verdict(double seconds) const;
    };

    // The pieces of music; an empty one keeps the game's own.
    struct Music {
        std::string background, hunting, intro, winner, loser;
    };

    std::string file;  // the level file as given
    std::string id;    // the file's name without ".toml", e.g. "demo"
    std::string name, description, author;
    int format = FORMAT;
    Terrain terrain;
    Sky sky;
    Start start;
    std::vector<Sign> signs;
    std::vector<Item> items;
    std::vector<Pursuer> pursuers;
    std::vector<Place> checkpoints;  // empty: the pursuers patrol between the signs
    std::optional<Medals> medals;
    Music music;

    // "booze", "tool", ... and back; nothing for a word that is no kind.
    static const char* kindName(ItemKind kind);
    static const char* kindName(PursuerKind kind);
    static std::optional<ItemKind> itemKind(const std::string& word);
    static std::optional<PursuerKind> pursuerKind(const std::string& word);
};
