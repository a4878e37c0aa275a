#pragma once
#include <memory>

#include "animation/Animation.h"
#include "scenegraph/GeometryNode.h"

// The command interface of a car: accelerate, brake (and reverse), steer
// left or right, stop, and invert the steering (drunk driving). The keyboard
// control, the pursuer brains and the item effects all drive a car through
// it. This base class moves its node without physics: it turns the node's own
// rotation and pushes its translation at a constant speed along the node's
// front (its -Z axis).
class StaticCarMovement : public Animation {
public:
    explicit StaticCarMovement(std::shared_ptr<GeometryNode> obj);

    void animate(double elapsedTime) override;
    virtual void invertSteering();
    virtual void stop();
    virtual bool isSteering() const;
    virtual bool steeringInverted() const;
    virtual void setAccelerating(bool acc);
    virtual void setBraking(bool brk);
    virtual void setSteerLeft(bool left);
    virtual void setSteerRight(bool right);

    bool isAccelerating() const { return accelerating; }
    bool isBraking() const { return braking; }
    bool isSteeringLeft() const { return steerLeft; }
    bool isSteeringRight() const { return steerRight; }
    std::shared_ptr<GeometryNode> getCar() const { return car; }

    // Turning rate (degrees per second here; subclasses may use other units).
    float rotationSpeed = 100.0f;
    // Travel speed in units per second (subclasses: the current signed speed).
    float speed = 20.0f;

protected:
    std::shared_ptr<GeometryNode> car;
    bool inverted = false;
    bool accelerating = false;
    bool braking = false;
    bool steerLeft = false;
    bool steerRight = false;
};
