// The terrain's collision tree: built from every segment of a real terrain
// loaded from a heightmap picture, it holds bodies at the ground's height.
#include <gtest/gtest.h>
#include <IL/il.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "NewtonTestSupport.h"
#include "assets/TerrainNode.h"
#include "assets/Texture2D.h"
#include "physics/CollisionTreeBuilder.h"
#include "physics/PhysicVolume.h"
#include "physics/Physics.h"
#include "physics/PhysicsUpdater.h"
#include "support/GlTestWindow.h"
#include "support/TempFolder.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_STATIC  // a copy of its own: the engine has one too
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

using namespace newton_test;

namespace {

class TerrainCollisionTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        Texture2D startDevIL(false);
        Physics::reset();
        ASSERT_FALSE(folder.path().empty());
        dir = folder.path();
    }
    void TearDown() override {
        Texture2D::clearTextures();
        while (ilGetError() != IL_NO_ERROR) {
        }
    }

    // A 16 x 16 heightmap: black (height 0) on the left half, white (full
    // height) on the right half; 32 x 4 x 32 units, lowered by 1.
    std::shared_ptr<TerrainNode> terrace() {
        std::vector<unsigned char> grey(16 * 16);
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c) grey[r * 16 + c] = c < 8 ? 0 : 255;
        EXPECT_TRUE(stbi_write_png((dir + "/height.png").c_str(), 16, 16, 1, grey.data(), 16));
        auto terrain = std::make_shared<TerrainNode>("test terrain");
        terrain->setTranslation(0, -1, 0);
        testing::internal::CaptureStdout();  // the tiles are missing: reported, not needed
        terrain->load(dir.c_str(), "height.png", "ground", 2, Vector(32, 4, 32));
        testing::internal::GetCapturedStdout();
        terrain->getPhysicVolume()->creator = std::make_shared<CollisionTreeBuilder>(terrain.get());
        return terrain;
    }

    TempFolder folder{"terrain"};  // removed with the fixture
    std::string dir;
};

TEST_F(TerrainCollisionTest, TreeOfAllSegmentsHoldsBodiesAtGroundHeight) {
    auto terrain = terrace();
    ASSERT_EQ(terrain->getSegments().size(), 4u);
    testing::internal::CaptureStdout();
    terrain->physicAllocate();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\n CollisionTreeBuilder::createRigidBody(): building terrain collision.\n   ****\n   optimizing...");
    ASSERT_NE(terrain->getPhysicVolume()->body, nullptr);
    for (const auto& segment : terrain->getSegments()) EXPECT_EQ(segment->getPhysicVolume()->body, nullptr);

    const float spots[3][2] = {{-9, 3}, {7, -5}, {10, 8}};
    std::vector<NewtonBody*> boxes;
    for (const auto& spot : spots) {
        NewtonCollision* shape = NewtonCreateBox(Physics::newtonWorld, 0.5f, 0.5f, 0.5f, nullptr);
        NewtonBody* body = NewtonCreateBody(Physics::newtonWorld, shape);
        NewtonReleaseCollision(Physics::newtonWorld, shape);
        NewtonBodySetMatrix(body, translation(spot[0], 6, spot[1]).data());
        NewtonBodySetMassMatrix(body, 1, 0, 0, 0);
        NewtonBodySetForceAndTorqueCallback(body, Physics::handleForceAndTorque);
        boxes.push_back(body);
    }
    PhysicsUpdater updater(100);
    for (int i = 0; i < 300; ++i) updater.animate(0.01);

    for (size_t i = 0; i < boxes.size(); ++i) {
        double ground = terrain->heightAt(spots[i][0], spots[i][1]);
        EXPECT_NEAR(matrixOf(boxes[i])[13], ground + 0.25, 0.02) << "box " << i;
    }
    EXPECT_NEAR(terrain->heightAt(-9, 3), -1.0, 1e-6);
    EXPECT_NEAR(terrain->heightAt(7, -5), 3.0, 1e-6);
}

TEST_F(TerrainCollisionTest, TerrainWithoutSegmentsGivesATreeThatHoldsNothing) {
    auto terrain = std::make_shared<TerrainNode>("unloaded terrain");
    terrain->getPhysicVolume()->creator = std::make_shared<CollisionTreeBuilder>(terrain.get());
    testing::internal::CaptureStdout();
    terrain->physicAllocate();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("building terrain collision.\n   \n   optimizing..."), std::string::npos);
    EXPECT_NE(out.find("collision tree without faces"), std::string::npos);
    EXPECT_NE(terrain->getPhysicVolume()->body, nullptr);
}

}  // namespace
