#include "vehicles/StaticCarMovement.h"

#include <cmath>

#include "math/Constants.h"

StaticCarMovement::StaticCarMovement(std::shared_ptr<GeometryNode> obj) : Animation(obj), car(std::move(obj)) {}

void StaticCarMovement::setAccelerating(bool acc) {
    accelerating = acc;
    if (acc) braking = false;
}

void StaticCarMovement::setBraking(bool brk) {
    braking = brk;
    if (brk) accelerating = false;
}

// While inverted, a pressed key clears the flag and a released key sets it:
// the car turns the other way round whenever the player does not steer.
void StaticCarMovement::setSteerLeft(bool left) {
    steerLeft = inverted ? !left : left;
    if (steerLeft) steerRight = false;
}

void StaticCarMovement::setSteerRight(bool right) {
    steerRight = inverted ? !right : right;
    if (steerRight) steerLeft = false;
}

// Feeds the negated turn flags back through the (now switched) setters. When
// switching to inverted, a turn in progress therefore carries on unchanged.
// When switching back, the second call sees what the first one left, which is
// why switching back with no key held ends in a right turn.
void StaticCarMovement::invertSteering() {
    inverted = !inverted;
    setSteerLeft(!steerLeft);
    setSteerRight(!steerRight);
}

void StaticCarMovement::stop() {
    accelerating = false;
    braking = false;
    steerLeft = false;
    steerRight = false;
}

bool StaticCarMovement::isSteering() const { return steerLeft || steerRight; }

bool StaticCarMovement::steeringInverted() const { return inverted; }

void StaticCarMovement::animate(double elapsedTime) {
    const double t = elapsedTime;
    if (steerLeft) car->addRotations(0.0f, static_cast<float>(rotationSpeed * t), 0.0f);
    if (steerRight) car->addRotations(0.0f, static_cast<float>(-rotationSpeed * t), 0.0f);
    const double a = car->getYrot() * PI_OVER_180;
    const float dx = static_cast<float>(std::sin(a) * speed * t);
    const float dz = static_cast<float>(std::cos(a) * speed * t);
    if (accelerating) car->addTranslation(-dx, 0.0f, -dz);
    if (braking) car->addTranslation(dx, 0.0f, dz);
}
