#pragma once
#include <memory>

#include "math/Matrix.h"
#include "vehicles/SimpleCarNode.h"
#include "vehicles/StaticCarMovement.h"

// Drives a SimpleCarNode on its physical body (a sled). Every frame it turns
// the body to the wanted heading and sets its horizontal velocity from the
// car's signed speed, while the physics world keeps gravity, the ride over the
// ground and the collisions. Here `speed` is the current signed speed along
// the car's front and `rotationSpeed` is in radians per second.
class PhysicCarMovement : public StaticCarMovement {
public:
    explicit PhysicCarMovement(std::shared_ptr<SimpleCarNode> obj);

    void animate(double elapsedTime) override;
    // Clears the commands and the speed: from the next frame on the car stands.
    void stop() override;

    // Wanted yaw in radians, in (-pi, pi): the car's front points along
    // (-cos h, 0, sin h), so -pi/2 is the model's own front (-Z).
    float getHeading() const { return heading; }
    // The wanted heading becomes the car node's own Y rotation again (as at
    // construction): a car put back by hand then keeps facing where it was put.
    void takeHeadingFromCar();

    // On its side or roof: the car's up axis leans more than 60 degrees from
    // the vertical (no hill of the terrain is that steep).
    bool isOverturned() const;
    // Seconds the car has lain on its side or roof without a break.
    double getOverturnedTime() const { return overturnedTime; }
    // Back on its wheels where it stands, dropped from a little above the
    // place, at rest and facing the heading (radians, as getHeading).
    void setUpright(float newHeading);

    double acceleration = 7.0;       // speed gained per second while accelerating
    double brakeDeceleration = 10.0;  // speed lost per second while braking
    double rollDeceleration = 1.0;   // speed lost per second while rolling freely
    double maxSpeed = 15.0;          // forward limit
    double maxReverseSpeed = -7.0;   // reverse limit (negative)
    // Seconds on its side or roof after which the car rights itself, facing
    // its heading; 0 leaves it lying (a pursuer's brain decides for its car).
    double uprightAfter = 0.0;

protected:
    float heading;
    std::shared_ptr<SimpleCarNode> simpleCar;

private:
    double turnRate() const;
    void turn(double elapsedTime, double rate);
    void showSteering(double rate);
    void updateSpeed(double elapsedTime);
    void watchOverturn(double elapsedTime);

    double overturnedTime = 0.0;
};
