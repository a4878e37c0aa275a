// A level as the level maker plans it: where the start, the signs, the
// items, the pursuers and their patrol points stand, the ground's shape and
// sizes, and the medal times. Plain data: LevelMaker fills it, LevelGround
// shapes the heightmap round it and LevelWriter writes it as a level file.
// Positions are world units [x, z] from the terrain's centre, x east and z
// south; headings are compass degrees, 0 north (-z), 90 east.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// The character of the land: rolling hills all round, a river valley with
// the towns along its sides, or a climb from lowland to a pass between peaks.
enum class LevelShape { HILLS, VALLEY, PASS };

struct LevelPlan {
    struct Spot {
        float x = 0, z = 0;
    };
    struct Sign {
        Spot at;
        float heading = 0;  // the plate looks back to the start
        std::string name;
    };
    struct Item {
        const char* kind = "booze";  // as the level file names it
        Spot at;
    };
    struct Pursuer {
        bool monster = false;
        Spot at;
        float heading = 0;
    };

    uint32_t seed = 0;
    LevelShape shape = LevelShape::HILLS;
    std::string name, description;

    float size = 600;    // units across
    float height = 30;   // units from black to white
    float base = -5;     // world height of black
    int segments = 8;
    float sun[3] = {0, 11, -100};
    // The shape's own landmarks: the phase of the valley's bends, the pass's saddle.
    float phase = 0;
    Spot saddle;

    Spot start;
    float startHeading = 0;
    float startRadius = 30;
    std::vector<Sign> signs;  // in the order of the tour round them
    std::vector<Item> items;
    std::vector<Pursuer> pursuers;
    std::vector<Spot> checkpoints;
    double gold = 0, silver = 0, bronze = 0;

    // The stops of the tour: the start, every sign in order, the start again.
    std::vector<Spot> tour() const;
    float tourLength() const;
};

}  // namespace assetgen
