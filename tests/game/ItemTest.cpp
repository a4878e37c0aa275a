#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

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

constexpr double ITEM_FRAME = 0.25;  // exact in binary: the item clocks reach their limits exactly

// Items with their real icons (the textures need the GL window), advanced
// frame by frame as the animator advances them.
class ItemTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // The level's models and pictures open relative to the working directory.
        if (!GlTestWindow::ensureInGameDir()) return;
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
    // Influence, icon, the item's height and whether it can be taken.
    static std::string state(const ItemAction& a) {
        return std::string(a.isInfluenceActive() ? "on " : "off ") + (a.getOverlay()->visible ? "icon " : "- ") +
               std::to_string(static_cast<int>(a.getItem()->getYpos())) + (a.isItemPresent() ? " here" : " gone");
    }
};

}  // namespace

TEST_F(ItemTest, EveryKindEndsItsInfluenceAndComesBackOnTime) {
    auto car = node(1, 5);
    struct Kind {
        std::shared_ptr<ItemAction> action;
        double duration, respawn;
    } kinds[] = {{std::make_shared<BoozeAction>(node(1, 5), playerMovement(), "models/item_booze.png"), 10, 15},
                 {std::make_shared<ToolAction>(node(1, 5), "models/item_tool.png"), 30, 30},
                 {std::make_shared<EngineAction>(node(1, 5), playerMovement(), "models/item_engine.png"), 10, 30},
                 {std::make_shared<AntiHunterAction>(node(1, 5), "models/item_decease.png"), 20, 30}};
    for (const Kind& k : kinds) {
        ItemAction& a = *k.action;
        a.abortInfluence();  // a reset before any pickup changes nothing
        EXPECT_EQ(state(a), "off - 5 here");
        Event pickup(car, a.getItem(), k.action);
        pickup.perform();
        a.enter();  // taken already: it neither sinks nor starts twice
        EXPECT_EQ(state(a), "on icon -95 gone");

        double ended = 0, back = 0;
        for (double t = ITEM_FRAME; t < 60 && back == 0; t += ITEM_FRAME) {
            a.animate(ITEM_FRAME);
            const float alpha = a.getOverlay()->getBillboard()->getMaterial()->diffuse[3];
            if (a.isInfluenceActive()) {
                EXPECT_NEAR(alpha, 1.0 - t / k.duration, 1e-6) << t;
            } else if (ended == 0) {
                ended = t;
            }
            EXPECT_EQ(a.getOverlay()->visible, a.isInfluenceActive());
            if (a.isItemPresent()) back = t;
            else pickup.perform();  // 100 units down the item is out of reach
        }
        EXPECT_EQ(ended, k.duration + ITEM_FRAME);
        EXPECT_EQ(back, k.respawn + ITEM_FRAME);
        EXPECT_EQ(state(a), "off - 5 here");

        pickup.perform();  // back in place it is taken again; a reset returns it at once
        a.animate(ITEM_FRAME);
        EXPECT_EQ(state(a), "on icon -95 gone");
        a.abortInfluence();
        EXPECT_EQ(state(a), "off - 5 here");
    }
    EXPECT_EQ(UnmountAction::SEQUENCE_LENGTH_FACTOR, 1.0f);
}

TEST_F(ItemTest, ToolsAndEnginesAddUpAndUndoExactly) {
    auto car = playerMovement();
    car->maxSpeed *= 0.9;  // as the level scales a pursuer: not a power of two
    const double acc = car->acceleration, top = car->maxSpeed, reverse = car->maxReverseSpeed;
    KeyboardProcessor::registerConsumer(std::make_shared<CarControl>(car));
    UnmountAction sign(std::make_shared<Sign>(nullptr));
    auto arrows = [&sign] {
        sign.enter();
        const size_t n = sign.getConsumer()->getSequence().size();
        sign.abort();
        return n;
    };
    ToolAction tool1(node(1), "models/item_tool.png"), tool2(node(1), "models/item_tool.png");
    EngineAction engine1(node(1), car, "models/item_engine.png"), engine2(node(1), car, "models/item_engine.png");
    ItemAction* const all[] = {&tool1, &engine1, &tool2, &engine2};
    tool1.enter();
    engine1.enter();
    EXPECT_EQ(arrows(), 4u);
    EXPECT_TRUE(car->acceleration == 2 * acc && car->maxSpeed == 2 * top && car->maxReverseSpeed == 2 * reverse);
    for (int i = 0; i < 2; ++i) all[i]->animate(5);
    tool2.enter();
    engine2.enter();
    EXPECT_EQ(arrows(), 2u);
    EXPECT_EQ(car->maxSpeed, 4 * top);
    for (ItemAction* a : all) a->animate(5 + ITEM_FRAME);  // the first engine ends
    EXPECT_EQ(car->maxSpeed, 2 * top);
    tool1.abortInfluence();
    EXPECT_EQ(arrows(), 4u);
    tool2.abortInfluence();  // a level reset during the second engine
    engine2.abortInfluence();
    EXPECT_EQ(arrows(), 8u);
    EXPECT_TRUE(car->acceleration == acc && car->maxSpeed == top && car->maxReverseSpeed == reverse);
}

TEST_F(ItemTest, BoozeSwervesAMovingCarToRandomSidesAtRandomIntervalsAndSobersUp) {
    std::srand(11);
    constexpr double STEP = 1.0 / 64;
    auto car = playerMovement();
    BoozeAction booze(node(1), car, "models/item_booze.png");
    int sides[2][2] = {};  // [steering inverted][turning left]: swerves seen
    for (float sign : {1.0f, -1.0f, 1.0f, -1.0f}) {  // forward and reverse alike
        EXPECT_TRUE(booze.getNextSwerve() >= 0.5 && booze.getNextSwerve() <= 1.0) << booze.getNextSwerve();
        booze.enter();
        car->speed = 1.5f * sign;  // almost standing: nothing happens
        for (double t = 0; t < 2; t += STEP) booze.animate(STEP);
        EXPECT_FALSE(car->steeringInverted() || car->isSteering());

        // Every swerve flips the steering and, with no key held, turns the
        // car to exactly one side, drawn anew each time.
        car->speed = 6.0f * sign;
        double last = 0;
        int swerves = 0;
        for (double t = 2 + STEP; booze.isInfluenceActive(); t += STEP) {
            booze.animate(STEP);
            if (!booze.isInfluenceActive() || car->steeringInverted() == (swerves % 2 == 1)) continue;
            if (swerves++ > 0) {
                EXPECT_TRUE(t - last >= 0.5 && t - last <= 1.0 + STEP) << t;
            }
            EXPECT_NE(car->isSteeringLeft(), car->isSteeringRight()) << "swerve " << swerves;
            ++sides[car->steeringInverted()][car->isSteeringLeft()];
            last = t;
        }
        EXPECT_GE(swerves, 8);
        EXPECT_FALSE(car->steeringInverted() || car->isSteering());
        booze.abortInfluence();
    }
    // Both sides, after switching to inverted steering and after switching back.
    EXPECT_TRUE(sides[0][0] > 0 && sides[0][1] > 0 && sides[1][0] > 0 && sides[1][1] > 0)
        << sides[0][0] << " " << sides[0][1] << " " << sides[1][0] << " " << sides[1][1];
    car->setSteerLeft(true);  // the keys steer as labelled again
    EXPECT_TRUE(car->isSteeringLeft());
}

TEST_F(ItemTest, PursuersSeeAgainOnlyWhenTheLastAntiHunterItemEnds) {
    auto car = node(1), near = node(25), far = node(50);
    auto first = std::make_shared<AntiHunterAction>(node(1), "models/item_decease.png");
    auto second = std::make_shared<AntiHunterAction>(node(1), "models/item_decease.png");
    for (const auto& a : {first, second})
        for (const auto& hunter : {near, far, std::shared_ptr<GeometryNode>()}) a->addHunter(hunter);
    auto sees = [&] { return Event::collision(*car, *near) || Event::collision(*car, *far); };
    auto sightIsBack = [&] { return near->getEventSphere()->radius == 25.0f && far->getEventSphere()->radius == 50.0f; };

    first->enter();  // one item: blind for 20 s
    first->animate(20);
    EXPECT_FALSE(sees());
    first->animate(ITEM_FRAME);
    EXPECT_TRUE(sightIsBack());
    first->abortInfluence();

    first->enter();  // overlapping: blind from 0 to 30 s
    first->animate(10);
    second->enter();
    for (const auto& a : {first, second}) a->animate(10 + ITEM_FRAME);
    EXPECT_FALSE(first->isInfluenceActive() || sees());
    second->animate(10 - ITEM_FRAME);
    EXPECT_FALSE(sees());
    second->animate(ITEM_FRAME);
    EXPECT_TRUE(sightIsBack());

    // A level reset during an overlap, and an item dropped while it blinds.
    first->abortInfluence();
    first->enter();
    second->enter();
    second->abortInfluence();
    EXPECT_FALSE(sees());
    first.reset();
    EXPECT_TRUE(sightIsBack() && sees());
}
