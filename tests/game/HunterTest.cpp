#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/AudioManager.h"
#include "game/CatchAction.h"
#include "game/HunterAI.h"
#include "game/OverkillAction.h"
#include "math/Constants.h"
#include "support/GlTestWindow.h"
#include "vehicles/VehicleWorld.h"

namespace {

struct Audio : AudioManager {
    using AudioManager::audiosystem;
    using AudioManager::backgroundChannel;
    using AudioManager::huntCount;
    using AudioManager::huntingChannel;
    using AudioManager::output;
};

// A pursuer as the level places it (a car on a sled of mass 20, sphere
// radius 2, view sphere 25 at -3) on the physics floor, turned 30 degrees to
// the left; the hunted player is a sphere of radius 1 put in place by hand.
// Frames run animations, physics and events in the game's order.
class HunterTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // The level's models and pictures open relative to the working directory.
        if (!GlTestWindow::ensureInGameDir()) return;
    }
    void SetUp() override {
        REQUIRE_GL();
        HunterAI::BLIND = true;
        AudioManager::holdMusic(false);
        Audio::huntCount = 0;
        car = VehicleWorld::playerCar(0.0f, 0.5f, 0.0f);
        car->getEventSphere()->radius = 2.0f;
        car->setRotations(0.0f, 30.0f, 0.0f);  // the movement takes its heading from here
        movement = std::make_shared<PhysicCarMovement>(car);
        car->setRotations(0.0f, 0.0f, 0.0f);
        car->physicAllocate();
        player->useOwnTransform = true;
        player->getEventSphere()->radius = 1.0f;
        ai = std::make_shared<HunterAI>(movement, player, "images/policestar.png");
        ai->setViewfield(events, 25.0f, -3.0f);
        world.animator.registerAnimation(movement);
        world.animator.registerAnimation(ai);
        putPlayerAway();
        frames(1.0);  // settles and turns to its heading; no checkpoint, so it stands
    }
    void TearDown() override { HunterAI::BLIND = true; }

    void frames(double seconds) {
        for (long i = std::lround(seconds / 0.01); i > 0; --i) {
            world.clock.advance(0.01);
            world.animator.animate();
            NewtonUpdate(Physics::newtonWorld, 0.01f);
            events->performEvents();
        }
    }
    Vector at() const { return HunterAI::positionOf(*car); }
    // A point level with the car at this bearing (degrees, positive right of its front).
    Vector around(double bearing, double distance) const {
        const Matrix& m = *car->getPhysicVolume()->matrix;
        const double fx = -m[8], fz = -m[10], len = std::hypot(fx, fz), b = bearing * PI_OVER_180;
        const Vector p = at();
        return Vector(p.x + distance * (std::cos(b) * fx - std::sin(b) * fz) / len, p.y,
                      p.z + distance * (std::cos(b) * fz + std::sin(b) * fx) / len);
    }
    void putPlayer(const Vector& v) { player->setTranslation(float(v.x), float(v.y), float(v.z)); }
    void putPlayerAway() { putPlayer(Vector(80.0, at().y, 80.0)); }
    // The commands after one look at a player at this bearing, 15 away:
    // accelerating, braking, left, right.
    std::string aim(double bearing, float speed = 0.0f) {
        putPlayer(around(bearing, 15.0));
        movement->speed = speed;
        ai->animate(0.0);
        return {movement->isAccelerating() ? 'A' : '-', movement->isBraking() ? 'B' : '-',
                movement->isSteeringLeft() ? 'L' : '-', movement->isSteeringRight() ? 'R' : '-'};
    }
    // Hunting: the chase sound counted, full speed, the star shown; else strafing without them.
    void expectHunting(bool hunting) const {
        EXPECT_EQ(ai->getState(), hunting ? HunterAI::HUNTING : HunterAI::STRAFING);
        EXPECT_EQ(Audio::huntCount, hunting ? 1 : 0);
        EXPECT_EQ(movement->maxSpeed, (hunting ? 1.0 : 0.5) * ai->getNormalMaxSpeed());
        EXPECT_EQ(ai->getOverlay()->visible, hunting);
    }

    VehicleWorld world;
    std::shared_ptr<EventManager> events = std::make_shared<EventManager>();
    std::shared_ptr<SimpleCarNode> car;
    std::shared_ptr<PhysicCarMovement> movement;
    std::shared_ptr<GeometryNode> player = std::make_shared<GeometryNode>("Player Car");
    std::shared_ptr<HunterAI> ai;
};

TEST_F(HunterTest, PatrolsFromCheckpointToCheckpointAtHalfSpeed) {
    const Vector a = around(0.0, 25.0), b = around(45.0, 25.0 * std::sqrt(2.0));  // b lies 25 right of a
    ai->addCheckpoint(events, b, 5.0f, "B");
    ai->addCheckpoint(events, a, 5.0f, "A");
    ASSERT_EQ(ai->getCurrentCheckpoint(), 1);  // the nearer one
    double fastest = 0.0;
    std::vector<double> reachedAt;  // distance to the checkpoint left behind, at each change
    for (int frame = 0, last = 1; frame < 2000 && reachedAt.size() < 3; ++frame) {
        frames(0.01);
        fastest = std::max(fastest, double(movement->speed));
        if (ai->getCurrentCheckpoint() == last) continue;
        reachedAt.push_back(Vector::distance(at(), ai->getCheckpoints()[last]->position));
        last = ai->getCurrentCheckpoint();
    }
    ASSERT_EQ(reachedAt.size(), 3u) << "the pursuer did not get round a, b and a again";
    for (double d : reachedAt) {  // the spheres (2 + 5) had just touched
        EXPECT_LT(d, 7.0);
        EXPECT_GT(d, 6.8);
    }
    EXPECT_EQ(ai->getCurrentCheckpoint(), 0);  // on to b again
    EXPECT_EQ(fastest, 7.5);
    const auto view = ai->getViewfield();  // placed before the frame's physics step
    EXPECT_LT(Vector::distance(Vector(view->getXpos(), view->getYpos(), view->getZpos()), at()), 0.1);
}

TEST_F(HunterTest, SteersByTheBearingOfItsGoal) {
    HunterAI::BLIND = false;
    ai->enterHuntingState();
    const float normal = float(ai->getNormalRotationSpeed());
    EXPECT_EQ(aim(0.0), "A---");
    EXPECT_EQ(movement->rotationSpeed, normal);
    EXPECT_EQ(aim(4.0), "A---");
    EXPECT_EQ(aim(-6.0), "A-L-");
    EXPECT_EQ(aim(85.0, 5.0f), "---R");
    EXPECT_EQ(movement->rotationSpeed, 2.0f * normal);
    EXPECT_EQ(aim(90.0), "A--R") << "standing, it must drive on to turn at all";
    EXPECT_EQ(aim(150.0), "-B-R");
    EXPECT_EQ(aim(150.0, -2.0f), "-BL-");  // reversing mirrors the steering
    EXPECT_EQ(aim(-100.0, -2.0f), "-B-R");

    // The star fades out towards the far edge of the view sphere: 1.65 - 15 / (25 - 3).
    EXPECT_NEAR(ai->getOverlay()->getBillboard()->getMaterial()->diffuse[3], 1.65 - 15.0 / 22.0, 1e-4);
    putPlayer(around(30.0, 2.3));  // within 0.8 x (2 + 1): stop
    ai->animate(0.0);
    EXPECT_FALSE(movement->isAccelerating() || movement->isBraking() || movement->isSteering());
}

TEST_F(HunterTest, HuntsUnlessBlindAndOnlyAHuntingPursuerCatches) {
    auto playerMovement = std::make_shared<StaticCarMovement>(player);
    auto control = std::make_shared<CarControl>(playerMovement);
    auto catchState = std::make_shared<CatchState>();
    auto caught = std::make_shared<CatchAction>(ai, control, catchState);
    caught->messageStack = std::make_shared<OverlayStack>();
    caught->loserBoard = std::make_shared<Billboard>("images/loser.png", true, "loser");
    events->events.push_back(std::make_shared<Event>(player, car, caught));
    playerMovement->setAccelerating(true);
    const auto& stack = caught->messageStack->getStack();

    putPlayer(around(0.0, 2.0));  // blind: seen and rammed, and nothing happens
    frames(0.05);
    expectHunting(false);
    EXPECT_TRUE(control->enabled && playerMovement->isAccelerating() && stack.empty());

    HunterAI::BLIND = false;
    putPlayerAway();
    frames(0.01);
    putPlayer(around(20.0, 15.0));
    frames(0.01);
    expectHunting(true);
    HunterAI::BLIND = true;  // blind again (a reset): leaving still ends the hunt
    putPlayerAway();
    frames(0.01);
    expectHunting(false);

    HunterAI::BLIND = false;
    putPlayer(around(20.0, 15.0));
    frames(4.0);  // spotted, chased at full speed and caught
    EXPECT_FALSE(control->enabled || playerMovement->isAccelerating());
    EXPECT_TRUE(catchState->caught && AudioManager::isMusicHeld());
    EXPECT_EQ(stack, std::list<std::shared_ptr<Billboard>>({caught->loserBoard}));
    EXPECT_EQ(movement->speed, 0.0f);  // the pursuer waits beside its catch
    EXPECT_LT(Vector::distance(at(), HunterAI::positionOf(*player)), 3.0);
    caught->abort();
    EXPECT_TRUE(stack.empty());
    EXPECT_FALSE(catchState->caught || AudioManager::isMusicHeld());
}

TEST_F(HunterTest, CheckpointChoicesStayInsideTheList) {
    for (auto choose : {&HunterAI::setNearestCheckpoint, &HunterAI::setRandomCheckpoint, &HunterAI::nextCheckpoint}) {
        ((*ai).*choose)();
        EXPECT_EQ(ai->getCurrentCheckpoint(), 0);  // none to choose from
    }

    // Distances 0 (never counts), 7, 3 and 3 (the first of equals wins),
    // exact in doubles since the pose is made of floats.
    const Vector p = at();
    ai->addCheckpoint(events, p, 5.0f, "under the car");
    ai->addCheckpoint(events, Vector(p.x - 7.0, p.y, p.z), 1.0f, "7");
    ai->addCheckpoint(events, Vector(p.x, p.y, p.z + 3.0), 1.0f, "3");
    ai->addCheckpoint(events, Vector(p.x + 3.0, p.y, p.z), 1.0f, "3 again");
    EXPECT_EQ(ai->getCurrentCheckpoint(), 2);
    std::set<int> drawn;
    for (int i = 0; i < 5000; ++i) {
        ai->setRandomCheckpoint();
        drawn.insert(ai->getCurrentCheckpoint());
    }
    EXPECT_EQ(drawn, std::set<int>({0, 1, 2, 3}));
}

}  // namespace

TEST_F(HunterTest, AnOverkillItemSetsThePursuerHuntingForFifteenSecondsUnlessBlind) {
    auto item = std::make_shared<GeometryNode>("Overkill Item");
    item->useOwnTransform = true;
    auto overkill = std::make_shared<OverkillAction>(item, "models/item_overkill.png");
    overkill->addHunter(ai);
    overkill->enter();  // before the race: the pursuers are blind
    expectHunting(false);
    overkill->abortInfluence();

    HunterAI::BLIND = false;
    overkill->enter();
    expectHunting(true);
    ai->enterHuntingState();  // the player comes into view as well: still one pursuer hunting
    expectHunting(true);
    overkill->animate(14.9);
    expectHunting(true);
    overkill->animate(0.2);
    expectHunting(false);
}

// Two pursuers hunt the player, on the real sound system (mixed into its
// silent loopback output): the chase music plays over the muted background.
// The player leaves the view of one of them: the other hunts on, the chase
// counts one pursuer and its music plays on, also when a pursuer that does
// not hunt loses sight. The other loses sight too: the chase ends and the
// background is heard again.
TEST_F(HunterTest, WhenOneOfTwoPursuersLosesSightTheChaseGoesOn) {
    struct SoundOn {  // for this test alone
        SoundOn() {
            Audio::output = SoundSystem::Output::LOOPBACK;
            AudioManager::init();
        }
        ~SoundOn() { AudioManager::kill(); }
    } sound;
    ASSERT_TRUE(Audio::audiosystem);
    AudioManager::startBackground();
    auto heard = [] {  // the loudness of a tenth of a second of the mix
        std::vector<float> out(2 * SoundSystem::MIX_RATE / 10);
        EXPECT_EQ(Audio::audiosystem->mix(out.data(), static_cast<int>(out.size() / 2)), SoundResult::OK);
        double sum = 0.0;
        for (float v : out) sum += static_cast<double>(v) * v;
        return std::sqrt(sum / static_cast<double>(out.size()));
    };
    auto paused = [](Channel* channel) {
        bool p = false;
        return channel->getPaused(&p) == SoundResult::OK && p;
    };
    auto muted = [](Channel* channel) {
        bool m = false;
        return channel->getMute(&m) == SoundResult::OK && m;
    };

    // The second pursuer 20 units east of the first; their view spheres
    // (25 round a point 3 units north of each car) overlap round the middle.
    auto otherCar = VehicleWorld::playerCar(static_cast<float>(at().x + 20.0), 0.5f, static_cast<float>(at().z));
    otherCar->getEventSphere()->radius = 2.0f;
    auto otherMovement = std::make_shared<PhysicCarMovement>(otherCar);
    otherCar->physicAllocate();
    auto other = std::make_shared<HunterAI>(otherMovement, player, "images/policestar.png");
    other->setViewfield(events, 25.0f, -3.0f);
    world.animator.registerAnimation(otherMovement);
    world.animator.registerAnimation(other);
    frames(0.5);  // on its wheels

    HunterAI::BLIND = false;
    const Vector mine = at(), theirs = HunterAI::positionOf(*otherCar);
    putPlayer(Vector((mine.x + theirs.x) / 2, mine.y, (mine.z + theirs.z) / 2 - 3.0));  // 10 from both centres
    frames(0.01);
    EXPECT_EQ(ai->getState(), HunterAI::HUNTING);
    EXPECT_EQ(other->getState(), HunterAI::HUNTING);
    EXPECT_EQ(Audio::huntCount, 2);
    EXPECT_FALSE(paused(Audio::huntingChannel));
    EXPECT_TRUE(muted(Audio::backgroundChannel));

    // 40 units east of the first's centre, 20 of the other's: out of the first's view only.
    putPlayer(Vector(mine.x + 40.0, mine.y, mine.z - 3.0));
    frames(0.01);
    EXPECT_EQ(ai->getState(), HunterAI::STRAFING);
    EXPECT_EQ(other->getState(), HunterAI::HUNTING);
    EXPECT_EQ(Audio::huntCount, 1) << "one pursuer hunts on";
    EXPECT_FALSE(paused(Audio::huntingChannel)) << "the chase music plays on";
    EXPECT_TRUE(muted(Audio::backgroundChannel));
    EXPECT_FALSE(ai->getOverlay()->visible);
    EXPECT_TRUE(other->getOverlay()->visible);
    heard();
    EXPECT_GT(heard(), 0.01) << "the chase music is heard";

    // Seen again by the first while the pursuers are blind (after a win), it
    // does not hunt; losing sight of the player once more, it takes nothing
    // from the other's chase.
    HunterAI::BLIND = true;
    putPlayer(Vector((mine.x + theirs.x) / 2, mine.y, (mine.z + theirs.z) / 2 - 3.0));
    frames(0.01);
    EXPECT_EQ(ai->getState(), HunterAI::STRAFING);
    putPlayer(Vector(mine.x + 40.0, mine.y, mine.z - 3.0));
    frames(0.01);
    EXPECT_EQ(Audio::huntCount, 1);
    EXPECT_FALSE(paused(Audio::huntingChannel));
    EXPECT_TRUE(muted(Audio::backgroundChannel));
    HunterAI::BLIND = false;

    putPlayerAway();
    frames(0.01);
    EXPECT_EQ(other->getState(), HunterAI::STRAFING);
    EXPECT_EQ(Audio::huntCount, 0);
    EXPECT_TRUE(paused(Audio::huntingChannel));
    EXPECT_FALSE(muted(Audio::backgroundChannel)) << "the background is heard again";
}
