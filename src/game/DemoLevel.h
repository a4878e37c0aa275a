#pragma once
#include <memory>
#include <vector>

#include "assets/MilkshapeNode.h"
#include "assets/TerrainNode.h"
#include "game/Level.h"
#include "vehicles/CarControl.h"
#include "vehicles/SimpleCarNode.h"

// The game's one level: a square terrain under a sky dome, the player's car
// in the middle, four town signs at the points of the compass 200 units out
// and a chalet beside the start.
class DemoLevel : public Level {
public:
    void build() override;
    void reset() override;

    std::shared_ptr<TerrainNode> getTerrain() const { return terrain; }
    std::shared_ptr<SimpleCarNode> getPlayerCar() const { return playerCar; }
    std::shared_ptr<CarControl> getCarControl() const { return carControl; }
    const std::vector<std::shared_ptr<MilkshapeNode>>& getSigns() const { return signs; }

    // Ground height under (x, z), or 0 before the terrain exists.
    float height(float x, float z) const;

    // Moves a node to (x, y, z) with no rotation; a node with a body takes
    // the body along, at rest.
    static void putBack(GeometryNode& node, float x, float y, float z);

private:
    void buildTerrain();
    void buildPlayerCar();
    void buildSun();
    void buildSky();
    void buildChalet();
    std::shared_ptr<MilkshapeNode> placeRoadSign(float x, float z, float rotation);
    void placeSignWithPlate(float x, float z, float rotation, const char* plateTexture);

    std::shared_ptr<TerrainNode> terrain;
    std::shared_ptr<SimpleCarNode> playerCar;
    std::shared_ptr<CarControl> carControl;
    std::vector<std::shared_ptr<MilkshapeNode>> signs;
};
