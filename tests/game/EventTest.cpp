#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/Event.h"
#include "game/EventManager.h"
#include "game/EventSphere.h"
#include "scenegraph/GeometryNode.h"
#include "support/FakeClock.h"

namespace {

class HookRecorder : public Action {
public:
    void enter() override { log += 'E'; }
    void leave() override { log += 'L'; }
    void in() override { log += 'I'; }
    void out() override { log += 'O'; }
    std::string log;
};

std::shared_ptr<GeometryNode> sphereAt(float x, float radius) {
    auto node = std::make_shared<GeometryNode>("node");
    node->setTranslation(x, 0, 0);
    node->getEventSphere()->radius = radius;
    return node;
}

}  // namespace

TEST(Event, TouchingSpheresDoNotCollide) {
    auto a = sphereAt(0, 1.0f), b = sphereAt(3.0f, 2.0f);
    EXPECT_FALSE(Event::collision(*a, *b));
    b->setTranslation(2.999f, 0, 0);
    EXPECT_TRUE(Event::collision(*a, *b));
    // The sphere's offset moves its centre away from the node.
    b->getEventSphere()->offset[0] = 0.5f;
    EXPECT_FALSE(Event::collision(*a, *b));
}

TEST(Event, NodesWithoutSphereNeverCollide) {
    auto a = sphereAt(0, 0.0f), b = sphereAt(0, 5.0f);
    EXPECT_FALSE(Event::collision(*a, *b));
    a->getEventSphere()->radius = -1.0f;
    EXPECT_FALSE(Event::collision(*a, *b));
    EXPECT_FALSE(Event::collision(*b, *a));
}

TEST(Event, HooksFollowTheCrossings) {
    auto car = sphereAt(0, 1.0f), sign = sphereAt(1.0f, 1.0f);
    auto action = std::make_shared<HookRecorder>();
    Event event(car, sign, action);
    event.perform();  // already overlapping on the first check
    event.perform();
    sign->setTranslation(10, 0, 0);
    event.perform();
    event.perform();
    EXPECT_EQ(action->log, "EILO");

    // Told that the previous check overlapped, a separated pair leaves.
    action->log.clear();
    event.setState(EVT_IN);
    event.perform();
    EXPECT_EQ(action->log, "L");
    event.setState(99);  // unknown states change nothing
    EXPECT_TRUE(event.getWasColliding());
    EXPECT_FALSE(event.getIsColliding());
}

TEST(EventManager, CallThrottleChecksEveryNthCall) {
    auto action = std::make_shared<HookRecorder>();
    EventManager manager;
    manager.events.push_back(std::make_shared<Event>(sphereAt(0, 1), sphereAt(50, 1), action));
    manager.setCallIntervall(3);
    for (int i = 0; i < 9; ++i) manager.performEvents();
    EXPECT_EQ(action->log, "OOO");
}

TEST(EventManager, TimeThrottleChecksAfterTheIntervalAndRestarts) {
    FakeClock clock;
    auto action = std::make_shared<HookRecorder>();
    EventManager manager;
    manager.events.push_back(std::make_shared<Event>(sphereAt(0, 1), sphereAt(50, 1), action));
    manager.setTimedIntervall(0.5);
    for (int i = 0; i < 4; ++i) {
        clock.advance(0.2);
        manager.performEvents();
    }
    // 0.2, 0.4 -> wait; 0.6 -> check and restart; 0.2 -> wait.
    EXPECT_EQ(action->log, "O");
    clock.advance(0.3);
    manager.performEvents();
    EXPECT_EQ(action->log, "OO");
    // Switching to the call throttle turns the time throttle off.
    manager.setCallIntervall(1);
    manager.performEvents();
    EXPECT_EQ(action->log, "OOO");
}

TEST(EventManager, EventsAddedByAnActionAreCheckedInTheSamePass) {
    EventManager manager;
    auto late = std::make_shared<HookRecorder>();
    class Spawner : public Action {
    public:
        Spawner(EventManager& m, std::shared_ptr<Action> late) : manager(m), late(std::move(late)) {}
        void out() override {
            if (spawned++ == 0) {
                // Enough events to force the vector to reallocate under the loop.
                for (int i = 0; i < 64; ++i)
                    manager.events.push_back(std::make_shared<Event>(sphereAt(0, 1), sphereAt(9, 1), late));
            }
        }
        EventManager& manager;
        std::shared_ptr<Action> late;
        int spawned = 0;
    };
    manager.events.push_back(std::make_shared<Event>(sphereAt(0, 1), sphereAt(9, 1), std::make_shared<Spawner>(manager, late)));
    manager.performEvents();
    EXPECT_EQ(late->log.size(), 64u);
}

TEST(EventSphere, BoxFollowsTheRadius) {
    EventSphere region("start area");
    region.getEventSphere()->radius = 7.5f;
    region.finalize();
    const auto box = region.getBoundingBox();
    EXPECT_FLOAT_EQ(box->minX, -7.5f);
    EXPECT_FLOAT_EQ(box->maxZ, 7.5f);
    EXPECT_FLOAT_EQ(box->size[1], 15.0f);
    EXPECT_TRUE(region.alwaysVisible);
    EXPECT_TRUE(region.useOwnTransform);
    testing::internal::CaptureStdout();
    region.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
