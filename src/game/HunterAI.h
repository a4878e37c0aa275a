#pragma once
#include <memory>
#include <string>
#include <vector>

#include "animation/Animation.h"
#include "assets/Billboard.h"
#include "game/EventManager.h"
#include "game/EventSphere.h"
#include "math/Vector.h"
#include "overlay/Overlay3D.h"
#include "scenegraph/GeometryNode.h"
#include "vehicles/PhysicCarMovement.h"

// The brain of a pursuer car: once per frame it picks a goal point and turns
// the car's movement towards it through the car command interface.
//
// States: STRAFING drives from checkpoint to checkpoint at half the
// movement's maximum speed; HUNTING chases the target (the player's car) at
// full speed and shows a star on the HUD that grows opaque as the pursuer
// closes in; IDLE leaves the car standing. The events around the brain's view
// sphere and its checkpoints switch the states and advance the checkpoints
// (ViewfieldAction, CheckpointAction); the brain creates those events itself.
//
// Steering by the bearing of the goal (degrees, 0 = straight ahead, positive
// to the right): within 80 drive on, between 80 and 90 coast, beyond 90 brake
// and reverse; beyond 45 turn at double rate; steer towards the goal unless
// it lies within 5 degrees (mirrored while reversing). A car on its side or
// roof that comes no nearer its goal for three seconds is put back on its
// wheels where it stands, facing the goal.
//
// The brain must be held by a shared handle before setViewfield or
// addCheckpoint: its events refer to it weakly and do nothing once it is gone.
class HunterAI : public Animation, public std::enable_shared_from_this<HunterAI> {
public:
    // One patrol point.
    struct Checkpoint {
        Vector position;
        float size = 0.0f;  // radius, units
        std::string description;
    };

    enum State { HUNTING = 0, IDLE = 1, STRAFING = 2 };

    // While set, no pursuer starts hunting (before the race and after winning).
    static bool BLIND;

    // Starts strafing at half the movement's maximum speed, towards checkpoint
    // 0; overlayTex is the picture of the HUD star.
    HunterAI(std::shared_ptr<PhysicCarMovement> hunter, std::shared_ptr<GeometryNode> target,
             const char* overlayTex);

    // Every rate lives in the movement: the elapsed time only measures how
    // long an overturned car has been stuck.
    void animate(double elapsedTime) override;

    // A yellow screen billboard of the picture, switched off, wrapped in a
    // hidden overlay. The level puts the overlay into its HUD and the
    // billboard under the root.
    void createOverlay(const char* texName);

    // Gives the view sphere its radius and its offset along z (units) and adds
    // the event between target and view sphere to the manager. Returns the
    // view sphere for the level to hang under the root.
    std::shared_ptr<EventSphere> setViewfield(const std::shared_ptr<EventManager>& globalEvtMgr, float radius,
                                              float zOffset);
    std::shared_ptr<EventSphere> getViewfield() const { return viewfield; }

    // A checkpoint at the centre of the node's event sphere, of the given
    // radius (a negative size takes the sphere's own radius), named by the node.
    std::shared_ptr<EventSphere> addCheckpoint(const std::shared_ptr<EventManager>& globalEvtMgr,
                                               GeometryNode* checkpoint, float size);
    // Adds the checkpoint, a trigger sphere at it and the event between the
    // pursuer's car and that sphere, then heads for the nearest checkpoint.
    // Returns the sphere for the level to hang under the root.
    std::shared_ptr<EventSphere> addCheckpoint(const std::shared_ptr<EventManager>& globalEvtMgr,
                                               const Vector& position, float size, const char* desc);

    // Full speed, star shown; the hunting sound, counted once per pursuer:
    // a pursuer that hunts already adds nothing. Nothing at all while BLIND.
    void enterHuntingState();
    // Ends the hunting sound if it was hunting; half speed, star hidden; goes
    // for the nearest checkpoint or a random one.
    void enterStrafingState(bool nearest);
    // The car stops and the brain does nothing until another state is entered.
    void enterIdleState();

    // The nearest checkpoint not exactly at the pursuer (the first of equals);
    // 0 when there is none.
    void setNearestCheckpoint();
    // Any checkpoint, each as likely; 0 when there is none.
    void setRandomCheckpoint();
    // The next checkpoint in the order they were added, round to the first.
    void nextCheckpoint();

    int getState() const { return state; }
    int getCurrentCheckpoint() const { return currentCheckpoint; }
    const std::vector<std::shared_ptr<Checkpoint>>& getCheckpoints() const { return checkpoints; }
    std::shared_ptr<PhysicCarMovement> getMovement() const { return hunter; }
    std::shared_ptr<GeometryNode> getCar() const;
    std::shared_ptr<GeometryNode> getTarget() const { return target; }
    std::shared_ptr<Overlay3D> getOverlay() const { return overlay; }
    double getNormalMaxSpeed() const { return normalMaxSpeed; }
    // The top speed it hunts at (units per second); patrolling is half of it.
    void setNormalMaxSpeed(double speed);
    double getNormalRotationSpeed() const { return normalRotationSpeed; }

    // Where a node's event sphere is centred: the pose of its physical body
    // (its own translation while it has none) plus the sphere's offset,
    // without rotation.
    static Vector positionOf(const GeometryNode& node);

private:
    // The goal of this frame and how near the car must come; false when there
    // is none (strafing without checkpoints).
    bool findGoal(const Vector& position, Vector& goal, double& reach);
    void fadeStar(double distance);
    void steerTowards(const Matrix& pose, const Vector& position, const Vector& goal);
    // A car on its side or roof that has come no nearer its goal for a few
    // seconds is set back on its wheels where it stands, facing the goal.
    void uprightWhenStuck(double elapsedTime, const Vector& position, const Vector& goal);

    std::vector<std::shared_ptr<Checkpoint>> checkpoints;
    int currentCheckpoint = 0;
    std::shared_ptr<EventSphere> viewfield;
    std::shared_ptr<PhysicCarMovement> hunter;
    std::shared_ptr<GeometryNode> target;
    double normalRotationSpeed = 0.0;  // radians per second
    double normalMaxSpeed = 0.0;       // units per second
    std::shared_ptr<Overlay3D> overlay;
    int state = STRAFING;
    double stuckTime = 0.0;       // seconds overturned since the last progress
    double stuckDistance = -1.0;  // distance to the goal at the last progress; negative while on its wheels
};
