// A small scene run the way a level runs it: nodes built, bodies allocated,
// the updater registered with the animator, frames timed by a controlled clock.
#include <gtest/gtest.h>

#include <memory>

#include "animation/Animator.h"
#include "physics/PhysicVolume.h"
#include "physics/PhysicalBoxCreator.h"
#include "physics/Physics.h"
#include "physics/PhysicsUpdater.h"
#include "scenegraph/BoxNode.h"
#include "support/FakeClock.h"

namespace {

std::shared_ptr<BoxNode> box(const char* name, float x, float y, float z, float size) {
    auto node = std::make_shared<BoxNode>(name);
    node->setTranslation(x, y, z);
    node->setScale(size, size, size);
    node->getPhysicVolume()->creator = std::make_shared<PhysicalBoxCreator>(node.get());
    return node;
}

TEST(ScenePhysicsTest, CratesFallOntoAStaticFloorAndComeToRest) {
    FakeClock clock;
    Physics::reset();
    auto scene = std::make_shared<GeometryNode>("scene");
    scene->useOwnTransform = true;
    auto floor = box("floor", 0, -0.5f, 0, 1);
    floor->setScale(8, 1, 8);
    scene->addChild(floor);
    auto crate = box("crate", -1, 2, 0, 1);
    auto small = box("small crate", 1.2f, 3, 0.5f, 0.5f);
    auto stacked = box("stacked crate", -1, 4, 0, 0.8f);
    for (const auto& node : {crate, small, stacked}) {
        node->getPhysicVolume()->isStatic = false;
        node->getPhysicVolume()->mass = 5.0f;
        scene->addChild(node);
    }
    scene->finalize();
    scene->physicAllocate();

    Animator animator;
    auto updater = std::make_shared<PhysicsUpdater>(static_cast<int>(Physics::minFPS));
    animator.registerAnimation(updater);
    updater->animate(0.0);
    animator.getTimeBase()->reset();
    for (int frame = 0; frame < 300; ++frame) {  // 5 s at 60 frames per second
        clock.advance(1.0 / 60.0);
        animator.animate();
    }

    EXPECT_NEAR(crate->getYpos(), 0.5f, 0.02f);
    EXPECT_NEAR(small->getYpos(), 0.25f, 0.02f);
    EXPECT_NEAR(stacked->getYpos(), 1.4f, 0.03f);  // on top of the first crate
    EXPECT_FLOAT_EQ(floor->getYpos(), -0.5f);
    // Each node is drawn with its body's pose (then its own scale).
    const Matrix& pose = *stacked->getPhysicVolume()->matrix;
    EXPECT_FLOAT_EQ(pose[13], stacked->getYpos());
    EXPECT_NEAR(pose[5], 1.0f, 0.01f);
}

}  // namespace
