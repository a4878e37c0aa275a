#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "game/AntiHunterAction.h"
#include "game/BoozeAction.h"
#include "game/EngineAction.h"
#include "game/Event.h"
#include "game/ToolAction.h"
#include "game/UnmountAction.h"
#include "input/KeyboardProcessor.h"
#include "support/GlTestWindow.h"
#include "vehicles/CarControl.h"

namespace {

constexpr double FRAME = 0.25;  // exact in binary: the item clocks hit the limits exactly

// Items with their real icons (textures need the GL window), driven frame by
// frame as the animator drives them.
class ItemTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!GlTestWindow::ensure()) return;
        if (const char* data = std::getenv("ZARVIK_GAME_DIR")) {
            EXPECT_EQ(chdir(data), 0);
        }
    }
    void SetUp() override { REQUIRE_GL(); }
    void TearDown() override {
        UnmountAction::SEQUENCE_LENGTH_FACTOR = 1.0f;
        KeyboardProcessor::reset();
    }

    static std::shared_ptr<GeometryNode> node(float radius, float y = 0.0f) {
        auto n = std::make_shared<GeometryNode>("node");
        n->getEventSphere()->radius = radius;
        n->setTranslation(0, y, 0);
        return n;
    }
    static std::shared_ptr<PhysicCarMovement> playerMovement() {
        return std::make_shared<PhysicCarMovement>(std::make_shared<SimpleCarNode>("player"));
    }
    static float iconAlpha(const ItemAction& a) { return a.getOverlay()->getBillboard()->getMaterial()->diffuse[3]; }
};

}  // namespace

TEST_F(ItemTest, EveryKindEndsItsInfluenceAndComesBackOnTime) {
    auto car = node(1.0f, 5.0f);
    struct Kind {
        std::shared_ptr<ItemAction> action;
        double duration, respawn;
    };
    const std::vector<Kind> kinds = {
        {std::make_shared<BoozeAction>(node(1, 5), playerMovement(), "models/item_booze.png"), 10, 15},
        {std::make_shared<ToolAction>(node(1, 5), "models/item_tool.png"), 30, 30},
        {std::make_shared<EngineAction>(node(1, 5), playerMovement(), "models/item_engine.png"), 10, 30},
        {std::make_shared<AntiHunterAction>(node(1, 5), "models/item_decease.png"), 20, 30}};
    for (const Kind& k : kinds) {
        ItemAction& a = *k.action;
        auto item = a.getItem();
        EXPECT_EQ(a.getInfluenceDuration(), k.duration);
        EXPECT_EQ(a.getRespawnTime(), k.respawn);
        a.abortInfluence();  // a reset before the pickup changes nothing
        EXPECT_TRUE(a.isItemPresent());
        EXPECT_FALSE(a.getOverlay()->visible);
        EXPECT_EQ(item->getYpos(), 5.0f);

        Event pickup(car, item, k.action);
        pickup.perform();
        ASSERT_TRUE(a.isInfluenceActive());
        EXPECT_FALSE(a.isItemPresent());
        EXPECT_EQ(item->getYpos(), -95.0f);
        EXPECT_TRUE(a.getOverlay()->visible);
        a.enter();  // taken already: neither sinks nor starts twice
        EXPECT_EQ(item->getYpos(), -95.0f);
        double ended = 0, back = 0;
        for (double t = FRAME; t < 60 && back == 0; t += FRAME) {
            a.animate(FRAME);
            if (a.isInfluenceActive()) EXPECT_NEAR(iconAlpha(a), 1.0 - t / k.duration, 1e-6) << t;
            else if (ended == 0) ended = t;
            EXPECT_EQ(a.getOverlay()->visible, a.isInfluenceActive());
            if (a.isItemPresent()) back = t;
            else pickup.perform();  // lying 100 units down, the item cannot be taken
        }
        EXPECT_EQ(ended, k.duration + FRAME);
        EXPECT_EQ(back, k.respawn + FRAME);
        EXPECT_EQ(item->getYpos(), 5.0f);

        // Back in place it is taken again; a reset brings it back at once.
        pickup.perform();
        ASSERT_TRUE(a.isInfluenceActive());
        a.animate(FRAME);
        a.abortInfluence();
        EXPECT_FALSE(a.isInfluenceActive());
        EXPECT_TRUE(a.isItemPresent());
        EXPECT_FALSE(a.getOverlay()->visible);
        EXPECT_EQ(item->getYpos(), 5.0f);
    }
    EXPECT_EQ(UnmountAction::SEQUENCE_LENGTH_FACTOR, 1.0f);
}

TEST_F(ItemTest, ToolsShortenTheSignGamesStartedWhileTheyLast) {
    KeyboardProcessor::registerConsumer(std::make_shared<CarControl>(playerMovement()));
    UnmountAction sign(std::make_shared<Sign>(nullptr));
    auto arrows = [&sign] {
        sign.enter();
        const size_t n = sign.getConsumer()->getSequence().size();
        sign.abort();
        return n;
    };
    ToolAction first(node(1), "models/item_tool.png"), second(node(1), "models/item_tool.png");
    EXPECT_EQ(arrows(), 8u);
    first.enter();
    EXPECT_EQ(arrows(), 4u);
    first.animate(10);
    second.enter();
    EXPECT_EQ(arrows(), 2u);
    first.animate(20 + FRAME);  // the first ends
    second.animate(20 + FRAME);
    EXPECT_EQ(arrows(), 4u);
    second.animate(10);
    EXPECT_EQ(arrows(), 8u);
    EXPECT_EQ(UnmountAction::SEQUENCE_LENGTH_FACTOR, 1.0f);

    // A level reset while both run.
    first.enter();
    second.enter();
    first.abortInfluence();
    EXPECT_EQ(arrows(), 4u);
    second.abortInfluence();
    EXPECT_EQ(UnmountAction::SEQUENCE_LENGTH_FACTOR, 1.0f);
}

TEST_F(ItemTest, EngineDoublesTheCarAndGivesTheExactValuesBack) {
    auto car = playerMovement();
    car->acceleration = 7.3;
    car->maxSpeed *= 0.9;  // as the level scales a pursuer: not a power of two
    car->maxReverseSpeed = -7.1;
    const double acc = car->acceleration, top = car->maxSpeed, reverse = car->maxReverseSpeed;
    EngineAction first(node(1), car, "models/item_engine.png"), second(node(1), car, "models/item_engine.png");

    first.enter();
    EXPECT_EQ(car->acceleration, 2 * acc);
    EXPECT_EQ(car->maxSpeed, 2 * top);
    EXPECT_EQ(car->maxReverseSpeed, 2 * reverse);
    first.animate(5);
    second.enter();
    EXPECT_EQ(car->maxSpeed, 4 * top);
    first.animate(5 + FRAME);
    EXPECT_EQ(car->maxSpeed, 2 * top);
    second.abortInfluence();  // level reset during the second one
    first.abortInfluence();
    EXPECT_EQ(car->acceleration, acc);
    EXPECT_EQ(car->maxSpeed, top);
    EXPECT_EQ(car->maxReverseSpeed, reverse);
    EXPECT_TRUE(first.isItemPresent() && second.isItemPresent());
}

TEST_F(ItemTest, BoozeSwervesAMovingCarAtRandomIntervalsAndSobersUp) {
    std::srand(11);
    constexpr double STEP = 1.0 / 64;
    auto car = playerMovement();
    auto booze = std::make_shared<BoozeAction>(node(1), car, "models/item_booze.png");
    for (int pickup = 0; pickup < 4; ++pickup) {
        EXPECT_GE(booze->getNextSwerve(), 0.5);
        EXPECT_LE(booze->getNextSwerve(), 1.0);
        const float sign = pickup % 2 ? -1.0f : 1.0f;  // forward and reverse alike
        booze->enter();
        car->speed = 1.5f * sign;  // almost standing: nothing happens
        for (double t = 0; t < 2; t += STEP) booze->animate(STEP);
        EXPECT_FALSE(car->steeringInverted() || car->isSteering());

        // Every swerve flips the steering; from the second on the car turns.
        car->speed = 6.0f * sign;
        bool inverted = false;
        double last = -1;
        int swerves = 0;
        for (double t = 2 + STEP; booze->isInfluenceActive(); t += STEP) {
            booze->animate(STEP);
            if (!booze->isInfluenceActive() || car->steeringInverted() == inverted) continue;
            inverted = !inverted;
            if (swerves++ > 0) {
                EXPECT_TRUE(t - last >= 0.5 && t - last <= 1.0 + STEP) << t - last;
                EXPECT_TRUE(car->isSteering());
            }
            last = t;
        }
        EXPECT_GE(swerves, 8);
        EXPECT_FALSE(car->steeringInverted());
        EXPECT_FALSE(car->isSteering());
        booze->abortInfluence();
    }
    car->setSteerLeft(true);  // the keys steer as labelled again
    EXPECT_TRUE(car->isSteeringLeft());
}

TEST_F(ItemTest, PursuersSeeAgainOnlyWhenTheLastAntiHunterItemEnds) {
    auto car = node(1), near = node(25), far = node(50);
    auto first = std::make_shared<AntiHunterAction>(node(1), "models/item_decease.png");
    auto second = std::make_shared<AntiHunterAction>(node(1), "models/item_decease.png");
    for (const auto& a : {first, second}) {
        a->addHunter(near);
        a->addHunter(far);
        a->addHunter(nullptr);
    }
    auto sees = [&] { return Event::collision(*car, *near) || Event::collision(*car, *far); };
    auto sightIsBack = [&] { return near->getEventSphere()->radius == 25.0f && far->getEventSphere()->radius == 50.0f; };

    first->enter();  // one item: blind for 20 s
    first->animate(20);
    EXPECT_FALSE(sees());
    first->animate(FRAME);
    EXPECT_TRUE(sightIsBack());
    first->abortInfluence();

    first->enter();  // overlapping: blind from 0 to 30 s
    first->animate(10);
    second->enter();
    for (const auto& a : {first, second}) a->animate(10 + FRAME);
    EXPECT_FALSE(first->isInfluenceActive());
    EXPECT_FALSE(sees());
    second->animate(10 - FRAME);
    EXPECT_FALSE(sees());
    second->animate(FRAME);
    EXPECT_TRUE(sightIsBack());

    // A level reset during the overlap, and an item dropped while it blinds.
    first->abortInfluence();
    second->abortInfluence();
    first->enter();
    second->enter();
    second->abortInfluence();
    EXPECT_FALSE(sees());
    first.reset();
    EXPECT_TRUE(sightIsBack());
    EXPECT_TRUE(sees());
}
