#pragma once
#include <memory>

#include "input/KeyConsumer.h"
#include "vehicles/StaticCarMovement.h"

// The player's keys for a car: w accelerates, s brakes and reverses, a and d
// steer. Presses are obeyed only while enabled (the sign game and a catch
// switch the control off); releases are always obeyed, so that a key held
// while the control was off does not stick once it is back.
class CarControl : public KeyConsumer {
public:
    explicit CarControl(std::shared_ptr<StaticCarMovement> carMovement);

    void consumeDown(byte key, int x, int y) override;
    void consumeUp(byte key, int x, int y) override;

    std::shared_ptr<StaticCarMovement> getCarMovement() const { return carMovement; }

    bool enabled = true;

private:
    std::shared_ptr<StaticCarMovement> carMovement;
};
