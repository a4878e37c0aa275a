#include "vehicles/PhysicCarMovement.h"

#include <algorithm>
#include <cmath>

#include "math/Constants.h"
#include "math/Vector.h"
#include "physics/PhysicVolume.h"
#include "physics/newton.h"

PhysicCarMovement::PhysicCarMovement(std::shared_ptr<SimpleCarNode> obj)
    : StaticCarMovement(obj), simpleCar(std::move(obj)) {
    stop();
    rotationSpeed = static_cast<float>(100.0 * PI_OVER_180);
    speed = 0.0f;
    takeHeadingFromCar();
}

void PhysicCarMovement::takeHeadingFromCar() {
    heading = static_cast<float>(simpleCar->getYrot() * PI_OVER_180 - HALF_PI);
}

namespace {
// The up axis's vertical part below cos 60 degrees: on the side or the roof.
constexpr float OVERTURNED_UP = 0.5f;
// How far above its place a righted car is dropped, clear of the ground.
constexpr float UPRIGHT_LIFT = 1.0f;
}  // namespace

bool PhysicCarMovement::isOverturned() const { return (*simpleCar->getPhysicVolume()->matrix)[5] < OVERTURNED_UP; }

// The body's Z axis is (cos h, 0, -sin h), so its front (-Z) points along
// (-cos h, 0, sin h); up is Y, and X = Y x Z.
void PhysicCarMovement::setUpright(float newHeading) {
    heading = newHeading;
    speed = 0.0f;
    overturnedTime = 0.0;
    GeometryNode::PhysicVolume& volume = *simpleCar->getPhysicVolume();
    Matrix& m = *volume.matrix;
    const float x = m[12], y = m[13] + UPRIGHT_LIFT, z = m[14];
    const float s = std::sin(newHeading), c = std::cos(newHeading);
    m.setIdentity();
    m[0] = -s;
    m[2] = -c;
    m[8] = c;
    m[10] = -s;
    m[12] = x;
    m[13] = y;
    m[14] = z;
    if (!volume.hasLiveBody()) return;
    const float rest[3] = {0.0f, 0.0f, 0.0f};
    NewtonBodySetMatrix(volume.body, m.data());
    NewtonBodySetVelocity(volume.body, rest);
    NewtonBodySetOmega(volume.body, rest);
}

void PhysicCarMovement::watchOverturn(double t) {
    overturnedTime = isOverturned() ? overturnedTime + t : 0.0;
    if (uprightAfter > 0.0 && overturnedTime >= uprightAfter) setUpright(heading);
}

void PhysicCarMovement::stop() {
    StaticCarMovement::stop();
    speed = 0.0f;
}

// Slower turning at speed, faster in reverse, none at a standstill.
double PhysicCarMovement::turnRate() const {
    if (speed == 0.0f) return 0.0;
    return (1.0 + (-0.5 * speed) / maxSpeed) * rotationSpeed;
}

// Reversing swaps the senses: the nose swings the other way.
void PhysicCarMovement::turn(double t, double rate) {
    const bool up = speed >= 0.0f ? steerLeft : steerRight;
    const bool down = speed >= 0.0f ? steerRight : steerLeft;
    if (up) {
        heading = static_cast<float>(heading + rate * t);
        if (heading >= PI) heading = static_cast<float>(heading - TWO_PI);
    } else if (down) {
        heading = static_cast<float>(heading - rate * t);
        if (heading <= -PI) heading = static_cast<float>(heading + TWO_PI);
    }
}

// The front wheels show a third of the turn rate, in degrees, by the keys.
void PhysicCarMovement::showSteering(double rate) {
    double angle = 0.0;
    if (steerLeft)
        angle = std::fabs(rate) * PI_UNDER_180 * 0.3333333333333333;
    else if (steerRight)
        angle = std::fabs(rate) * PI_UNDER_180 * -0.3333333333333333;
    simpleCar->setFrontSteering(static_cast<float>(angle));
}

void PhysicCarMovement::updateSpeed(double t) {
    double v = speed;
    if (accelerating)
        v = std::min(v + acceleration * t, maxSpeed);
    else if (braking)
        v = std::max(v - brakeDeceleration * t, maxReverseSpeed);
    else if (v < 0.0)
        v = std::min(v + rollDeceleration * t, 0.0);
    else
        v = std::max(v - rollDeceleration * t, 0.0);
    speed = static_cast<float>(v);
}

void PhysicCarMovement::animate(double elapsedTime) {
    const double t = elapsedTime;
    watchOverturn(t);
    const double rate = turnRate();
    turn(t, rate);
    showSteering(rate);

    GeometryNode::PhysicVolume& volume = *simpleCar->getPhysicVolume();
    NewtonBody* body = volume.hasLiveBody() ? volume.body : nullptr;
    // Turn the body about its own up axis to the heading; pitch and roll stay
    // as the world left them.
    Matrix m(*volume.matrix);
    const double yaw = std::atan2(-m[10], m[8]);
    m.rotateY(heading - yaw);
    volume.matrix->set(m);
    float velocity[3] = {0.0f, 0.0f, 0.0f};
    if (body) {
        NewtonBodySetMatrix(body, m.data());
        NewtonBodyGetVelocity(body, velocity);
    }

    Vector front(m[8], m[9], m[10]);
    front.normalize();
    updateSpeed(t);
    // Horizontal velocity along the front; the vertical part stays the world's.
    velocity[0] = static_cast<float>(-speed * front.x);
    velocity[2] = static_cast<float>(-speed * front.z);
    if (body) NewtonBodySetVelocity(body, velocity);

    simpleCar->addTireRotation(t, speed);
    simpleCar->updateCamera();
}
