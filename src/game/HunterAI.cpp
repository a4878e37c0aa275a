#include "game/HunterAI.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/AudioManager.h"
#include "game/CheckpointAction.h"
#include "game/ViewfieldAction.h"
#include "math/Constants.h"
#include "math/Utilities.h"
#include "physics/PhysicVolume.h"

bool HunterAI::BLIND = true;

namespace {

// A goal nearer than this share of the two radii counts as reached: the
// events fire earlier, when the spheres first touch at the full sum.
constexpr double REACH_FACTOR = 0.8;
// Bearing limits, degrees.
constexpr double DRIVE_LIMIT = 80.0;
constexpr double BRAKE_LIMIT = 90.0;
constexpr double FAST_TURN_LIMIT = 45.0;
constexpr double DEAD_BAND = 5.0;
// An overturned pursuer that has not come this much nearer its goal within
// STUCK_TIME seconds is set back on its wheels.
constexpr double STUCK_PROGRESS = 1.0;
constexpr double STUCK_TIME = 3.0;
// Star opacity at the pursuer's own place; it fades linearly with the
// distance, over the reach of the view sphere (radius plus z offset).
constexpr double STAR_FULL = 1.65;

// Physics node that is drawn with its body's pose (not with its own transform).
const float* bodyPose(const GeometryNode& node) {
    const auto volume = node.getPhysicVolume();
    if (node.useOwnTransform || !volume || (!volume->body && !volume->noBody)) return nullptr;
    return volume->matrix->data();
}

double horizontalAngle(double x, double z) { return std::atan2(z, x); }

}  // namespace

HunterAI::HunterAI(std::shared_ptr<PhysicCarMovement> movement, std::shared_ptr<GeometryNode> huntedNode,
                   const char* overlayTex)
    : Animation(huntedNode), hunter(std::move(movement)), target(std::move(huntedNode)) {
    if (hunter) {
        normalRotationSpeed = hunter->rotationSpeed;
        normalMaxSpeed = hunter->maxSpeed;
        hunter->maxSpeed = normalMaxSpeed * 0.5;
    }
    const std::string desc = Utilities<char>::createString("Viewfield of %s",
                                                           target ? target->getNodeDescription() : "nothing");
    viewfield = std::make_shared<EventSphere>(desc.c_str());
    createOverlay(overlayTex);
}

void HunterAI::setNormalMaxSpeed(double speed) {
    normalMaxSpeed = speed;
    if (hunter) hunter->maxSpeed = state == HUNTING ? speed : speed * 0.5;
}

std::shared_ptr<GeometryNode> HunterAI::getCar() const { return hunter ? hunter->getCar() : nullptr; }

Vector HunterAI::positionOf(const GeometryNode& node) {
    const float* pose = bodyPose(node);
    const auto sphere = node.getEventSphere();
    Vector p = pose ? Vector(pose[12], pose[13], pose[14]) : Vector(node.getXpos(), node.getYpos(), node.getZpos());
    return Vector(p.x + sphere->offset[0], p.y + sphere->offset[1], p.z + sphere->offset[2]);
}

void HunterAI::createOverlay(const char* texName) {
    auto star = std::make_shared<Billboard>(texName ? texName : "", true, "hunter overlay billboard");
    star->overlay = true;
    star->active = false;
    Material& m = *star->getMaterial();
    m.ambient = Utilities<float>::createArray(1, 1, 0, 1);
    m.diffuse = Utilities<float>::createArray(1, 1, 0, 1);
    m.specular = Utilities<float>::createArray(1, 1, 0, 1);
    m.emission = Utilities<float>::createArray(1, 1, 0, 1);
    m.shininess = Utilities<float>::createArray(0);
    m.setTransparency(0.01f);
    overlay = std::make_shared<Overlay3D>(star);
    overlay->visible = false;
}

std::shared_ptr<EventSphere> HunterAI::setViewfield(const std::shared_ptr<EventManager>& globalEvtMgr, float radius,
                                                    float zOffset) {
    auto sphere = viewfield->getEventSphere();
    sphere->offset[2] = zOffset;
    sphere->radius = radius;
    if (globalEvtMgr && target)
        globalEvtMgr->events.push_back(
            std::make_shared<Event>(target, viewfield, std::make_shared<ViewfieldAction>(weak_from_this())));
    return viewfield;
}

std::shared_ptr<EventSphere> HunterAI::addCheckpoint(const std::shared_ptr<EventManager>& globalEvtMgr,
                                                     GeometryNode* checkpoint, float size) {
    if (!checkpoint) {
        std::printf("\n HunterAI::addCheckpoint(): WARNING! no node given; no checkpoint added.");
        return nullptr;
    }
    const auto sphere = checkpoint->getEventSphere();
    const Vector position(checkpoint->getXpos() + sphere->offset[0], checkpoint->getYpos() + sphere->offset[1],
                          checkpoint->getZpos() + sphere->offset[2]);
    return addCheckpoint(globalEvtMgr, position, size < 0.0f ? sphere->radius : size,
                         checkpoint->getNodeDescription());
}

std::shared_ptr<EventSphere> HunterAI::addCheckpoint(const std::shared_ptr<EventManager>& globalEvtMgr,
                                                     const Vector& position, float size, const char* desc) {
    auto point = std::make_shared<Checkpoint>();
    point->position = position;
    point->size = size;
    point->description = desc ? desc : "";
    checkpoints.push_back(point);

    const std::string name = Utilities<char>::createString("Checkpoint - %s", point->description.c_str());
    auto sphere = std::make_shared<EventSphere>(name.c_str());
    sphere->setTranslation(static_cast<float>(position.x), static_cast<float>(position.y),
                           static_cast<float>(position.z));
    sphere->getEventSphere()->radius = size;
    if (globalEvtMgr && getCar())
        globalEvtMgr->events.push_back(
            std::make_shared<Event>(getCar(), sphere, std::make_shared<CheckpointAction>(weak_from_this())));
    setNearestCheckpoint();
    return sphere;
}

// Only a pursuer that starts hunting counts towards the chase: counting one
// that hunts already would outlast its own end, and the chase music with it.
void HunterAI::enterHuntingState() {
    if (BLIND) return;
    if (state != HUNTING) AudioManager::startHunting();
    state = HUNTING;
    if (hunter) hunter->maxSpeed = normalMaxSpeed;
    overlay->visible = true;
}

void HunterAI::enterStrafingState(bool nearest) {
    if (state == HUNTING) AudioManager::stopHunting();
    state = STRAFING;
    if (hunter) hunter->maxSpeed = normalMaxSpeed * 0.5;
    if (nearest) setNearestCheckpoint();
    else setRandomCheckpoint();
    overlay->visible = false;
}

void HunterAI::enterIdleState() {
    state = IDLE;
    if (hunter) hunter->stop();
}

void HunterAI::setNearestCheckpoint() {
    currentCheckpoint = 0;
    const auto car = getCar();
    if (!car) return;
    const Vector p = positionOf(*car);
    double nearest = 0.0;
    for (std::size_t i = 0; i < checkpoints.size(); ++i) {
        const double d = Vector::distance(p, checkpoints[i]->position);
        if (d > 0.0 && (nearest == 0.0 || d < nearest)) {
            nearest = d;
            currentCheckpoint = static_cast<int>(i);
        }
    }
}

// random() reaches 1.0 itself, which would name the checkpoint after the last.
void HunterAI::setRandomCheckpoint() {
    const int count = static_cast<int>(checkpoints.size());
    if (count == 0) {
        currentCheckpoint = 0;
        return;
    }
    const int drawn = static_cast<int>(std::floor(Utilities<float>::random() * count));
    currentCheckpoint = std::clamp(drawn, 0, count - 1);
}

void HunterAI::nextCheckpoint() {
    const int count = static_cast<int>(checkpoints.size());
    currentCheckpoint = count == 0 ? 0 : (currentCheckpoint + 1) % count;
}

bool HunterAI::findGoal(const Vector& position, Vector& goal, double& reach) {
    const double carRadius = getCar()->getEventSphere()->radius;
    if (state == HUNTING) {
        if (!target) return false;
        goal = positionOf(*target);
        reach = REACH_FACTOR * (carRadius + target->getEventSphere()->radius);
        fadeStar(Vector::distance(position, goal));
        overlay->visible = true;
        return true;
    }
    overlay->visible = false;
    if (currentCheckpoint < 0 || currentCheckpoint >= static_cast<int>(checkpoints.size())) return false;
    const Checkpoint& point = *checkpoints[currentCheckpoint];
    goal = point.position;
    reach = REACH_FACTOR * (carRadius + point.size);
    return true;
}

// With the level's view sphere (25, offset -3) the star is fully opaque from
// 14.3 units in and gone beyond 36.3. A view sphere shrunk to nothing (the
// anti-pursuer item) leaves no distance to fade over: the star stays full.
void HunterAI::fadeStar(double distance) {
    const auto sphere = viewfield->getEventSphere();
    const double span = static_cast<double>(sphere->radius) + sphere->offset[2];
    const double alpha = span > 0.0 ? STAR_FULL - distance / span : 1.0;
    overlay->getBillboard()->getMaterial()->setTransparency(static_cast<float>(alpha));
}

// The elapsed time counts only how long an overturned car has been stuck.
void HunterAI::animate(double elapsedTime) {
    if (state == IDLE || !getCar()) return;
    const Vector position = positionOf(*getCar());
    viewfield->setTranslation(static_cast<float>(position.x), static_cast<float>(position.y),
                              static_cast<float>(position.z));
    Vector goal;
    double reach = 0.0;
    const bool hasGoal = findGoal(position, goal, reach);
    if (hasGoal) uprightWhenStuck(elapsedTime, position, goal);
    if (!hasGoal || Vector::distance(position, goal) <= reach) {
        hunter->stop();
        return;
    }
    const Matrix pose(*getCar()->getPhysicVolume()->matrix);
    steerTowards(pose, position, goal);
}

// The car's front is its -Z axis, so the direction from the goal to the car
// matches the car's Z axis when the goal lies straight ahead.
void HunterAI::steerTowards(const Matrix& pose, const Vector& position, const Vector& goal) {
    double bearing = (horizontalAngle(position.x - goal.x, position.z - goal.z) - horizontalAngle(pose[8], pose[10])) *
                     PI_UNDER_180;
    while (bearing > 180.0) bearing -= 360.0;
    while (bearing < -180.0) bearing += 360.0;
    const double off = std::fabs(bearing);

    hunter->rotationSpeed = static_cast<float>(off > FAST_TURN_LIMIT ? normalRotationSpeed * 2.0 : normalRotationSpeed);
    // Coasting needs speed: a standing car does not turn, so one that stood
    // with its goal in the coasting band would stand there for good. It drives on instead.
    hunter->setAccelerating(off <= DRIVE_LIMIT || (off <= BRAKE_LIMIT && hunter->speed == 0.0f));
    hunter->setBraking(off > BRAKE_LIMIT);
    if (hunter->speed < 0.0f) bearing = -bearing;  // reversing mirrors the steering
    hunter->setSteerRight(bearing > DEAD_BAND);
    hunter->setSteerLeft(bearing < -DEAD_BAND);
}

// Lying at its goal, pressed against other cars or spinning on its roof, an
// overturned car gets no nearer: after STUCK_TIME it stands up again, its
// front (-cos h, 0, sin h) towards the goal.
void HunterAI::uprightWhenStuck(double elapsedTime, const Vector& position, const Vector& goal) {
    if (!hunter->isOverturned()) {
        stuckDistance = -1.0;
        return;
    }
    const double distance = Vector::distance(position, goal);
    if (stuckDistance < 0.0 || distance < stuckDistance - STUCK_PROGRESS) {
        stuckDistance = distance;
        stuckTime = 0.0;
        return;
    }
    stuckTime += elapsedTime;
    if (stuckTime < STUCK_TIME) return;
    hunter->setUpright(static_cast<float>(std::atan2(goal.z - position.z, position.x - goal.x)));
    stuckDistance = -1.0;
}
