#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "VehicleWorld.h"
#include "assets/TerrainNode.h"
#include "assets/Texture.h"
#include "support/GlTestWindow.h"
#include "vehicles/PhysicCarMovement.h"

namespace {

// The player's car on the game's own terrain, placed and driven as in the
// level: 2 units above the ground at the origin, then 3 s of 'w'.
TEST(CarOnTerrain, DrivesThreeSecondsAlongItsFrontHuggingTheGround) {
    REQUIRE_GL();
    VehicleWorld world;
    // The level starts the picture library with its loading screen, before
    // the terrain reads its heightmap.
    Texture::init();
    const char* game = std::getenv("ZARVIK_GAME_DIR");
    const std::string terrainDir = std::string(game ? game : "game") + "/terrain";
    auto terrain = std::make_shared<TerrainNode>("Terrain");
    terrain->setTranslation(0.0f, -5.0f, 0.0f);
    terrain->load(terrainDir.c_str(), "heightmap.png", "terrain", 8, Vector(600, 5, 600));
    ASSERT_EQ(terrain->getSegments().size(), 64u);
    terrain->physicAllocate();

    const float ground = static_cast<float>(terrain->heightAt(0.0, 0.0));
    auto car = VehicleWorld::playerCar(0.0f, ground + 2.0f, 0.0f);
    auto movement = std::make_shared<PhysicCarMovement>(car);
    car->physicAllocate();
    world.animator.registerAnimation(movement);
    world.run(2.0);  // dropped onto the ground
    const float startZ = car->getPhysicVolume()->matrix->m[14];

    movement->setAccelerating(true);
    // The sled's runners reach the box bottom at the car's origin: the origin
    // stays within a few centimetres of the ground while it drives.
    double worst = 0.0;
    for (int frame = 0; frame < 300; ++frame) {
        world.run(0.01);
        const Matrix& m = *car->getPhysicVolume()->matrix;
        worst = std::max(worst, std::fabs(m[13] - terrain->heightAt(m[12], m[14])));
    }
    EXPECT_LT(worst, 0.05);
    const Matrix& m = *car->getPhysicVolume()->matrix;
    EXPECT_NEAR(m[14] - startZ, -28.93f, 0.4f);
    EXPECT_NEAR(m[12], 0.0f, 0.3f);
    EXPECT_GT(m[5], 0.95f);  // upright, tilted at most as the ground is
}

}  // namespace
