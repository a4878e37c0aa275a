#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "game/Level.h"
#include "game/LevelControl.h"
#include "input/KeyboardProcessor.h"
#include "physics/PhysicVolume.h"
#include "scenegraph/BoxNode.h"
#include "support/FakeClock.h"
#include "support/GlTestWindow.h"

namespace {

std::string trace;

class TracingAnimation : public Animation {
public:
    void animate(double elapsed) override {
        trace += "A";
        lastElapsed = elapsed;
    }
    double lastElapsed = -1;
};

class TracingNode : public BoxNode {
public:
    TracingNode() : BoxNode("traced") {}
    void testVisibility() override {
        trace += "V";
        BoxNode::testVisibility();
    }
    void executeDisplayList() override {
        trace += getRenderState() == OPAQUE_PASS ? "P" : "S";
        BoxNode::executeDisplayList();
    }
};

class TracingAction : public Action {
public:
    void out() override { trace += "E"; }
};

class TestLevel : public Level {
public:
    void build() override {
        ++builds;
        node = std::make_shared<TracingNode>();
        node->useOwnTransform = true;
        root->addChild(node);
        animation = std::make_shared<TracingAnimation>();
        animator->registerAnimation(animation);
        eventManager->events.push_back(std::make_shared<Event>(node, node, std::make_shared<TracingAction>()));
        reset();
        postBuild();
    }
    void reset() override { ++resets; }
    std::shared_ptr<TracingNode> node;
    std::shared_ptr<TracingAnimation> animation;
    int builds = 0, resets = 0;
};

}  // namespace

TEST(Level, FrameRunsAnimationsTestsEventsThenPaint) {
    REQUIRE_GL();
    FakeClock clock;
    auto level = std::make_shared<TestLevel>();
    level->preBuild();
    clock.advance(3.0);  // loading takes time...
    level->build();
    // postBuild's warm-up drew the node once (no queries), then animated once
    // without handing the loading time on.
    EXPECT_EQ(trace, "PA");
    EXPECT_NEAR(level->animation->lastElapsed, 0.0, 1e-9);

    trace.clear();
    clock.advance(0.02);
    level->display();
    EXPECT_EQ(trace, "AVEP");
    EXPECT_NEAR(level->animation->lastElapsed, 0.02, 1e-9);
    EXPECT_EQ(level->resets, 1);

    // The race time is on the HUD from the build on, stopped at zero, and a
    // running watch takes each frame's time.
    auto watch = level->getStopWatch();
    const auto& hud = level->getOverlayManager()->getOverlays();
    EXPECT_NE(std::find(hud.begin(), hud.end(), watch->getOverlay()), hud.end());
    EXPECT_FALSE(watch->isRunning());
    watch->start();
    clock.advance(0.25);
    level->display();
    EXPECT_EQ(watch->getOverlay()->getText(), "Time: 0:00:00.250");
}

TEST(Level, PreBuildEmptiesEverythingAndCanRunTwice) {
    REQUIRE_GL();
    auto level = std::make_shared<TestLevel>();
    level->preBuild();
    level->build();
    std::weak_ptr<TracingAnimation> animation = level->animation;
    auto oldRoot = level->getRoot();
    level->animation.reset();
    level->preBuild();
    level->preBuild();
    EXPECT_TRUE(animation.expired());
    EXPECT_TRUE(level->getEventManager()->events.empty());
    EXPECT_NE(level->getRoot(), oldRoot);
    EXPECT_STREQ(level->getRoot()->getNodeDescription(), "Scenegraph Root");
    // An empty level draws a frame without trouble.
    trace.clear();
    level->display();
    EXPECT_EQ(trace, "");
}

TEST(LevelControl, LowerCaseRResetsTheLevel) {
    KeyboardProcessor::reset();
    auto level = std::make_shared<TestLevel>();
    KeyboardProcessor::registerConsumer(std::make_shared<LevelControl>(level));
    KeyboardProcessor::processDown('R', 0, 0);
    EXPECT_EQ(level->resets, 0);
    KeyboardProcessor::processDown('r', 0, 0);
    KeyboardProcessor::processUp('r', 0, 0);
    EXPECT_EQ(level->resets, 1);
    KeyboardProcessor::reset();
}

namespace {

// A static floor and a box that falls onto it.
class BoxLevel : public Level {
public:
    void build() override {
        floor = std::make_shared<BoxNode>("floor");
        floor->setScale(4.0f, 0.1f, 4.0f);
        floor->setTranslation(0, -0.75f, 0);
        root->addChild(floor);
        crate = std::make_shared<BoxNode>("crate");
        crate->setTranslation(0, 1.5f, 0);
        crate->getPhysicVolume()->isStatic = false;
        root->addChild(crate);
        postBuild();
    }
    std::shared_ptr<BoxNode> floor, crate;
};

}  // namespace

TEST(Level, BodiesAreAllocatedAfterTheBuildAndSteppedEveryFrame) {
    REQUIRE_GL();
    FakeClock clock;
    auto level = std::make_shared<BoxLevel>();
    level->preBuild();
    level->build();
    ASSERT_TRUE(level->crate->getPhysicVolume()->hasLiveBody());
    for (int frame = 0; frame < 300; ++frame) {
        clock.advance(0.0101);
        level->display();
    }
    // Floor top at -0.75 + 0.05; the unit box rests with its centre 0.5 above.
    EXPECT_NEAR(level->crate->getYpos(), -0.2f, 0.03f);
    EXPECT_FLOAT_EQ(level->floor->getYpos(), -0.75f);  // static: never moves
    // A rebuild makes a new world: the old bodies are gone, new ones made.
    level->preBuild();
    level->build();
    EXPECT_FLOAT_EQ(level->crate->getYpos(), 1.5f);
    EXPECT_TRUE(level->crate->getPhysicVolume()->hasLiveBody());
}
