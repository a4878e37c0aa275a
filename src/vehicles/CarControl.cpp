#include "vehicles/CarControl.h"

CarControl::CarControl(std::shared_ptr<StaticCarMovement> movement) : carMovement(std::move(movement)) {
    // Lower case only: with shift or caps lock the keys are other keys.
    keys.push_back('w');
    keys.push_back('a');
    keys.push_back('s');
    keys.push_back('d');
}

void CarControl::consumeDown(byte key, int, int) {
    if (!enabled) return;
    switch (key) {
        case 'a': carMovement->setSteerLeft(true); break;
        case 'd': carMovement->setSteerRight(true); break;
        case 'w': carMovement->setAccelerating(true); break;
        case 's': carMovement->setBraking(true); break;
        default: break;
    }
}

void CarControl::consumeUp(byte key, int, int) {
    switch (key) {
        case 'a': carMovement->setSteerLeft(false); break;
        case 'd': carMovement->setSteerRight(false); break;
        case 'w': carMovement->setAccelerating(false); break;
        case 's': carMovement->setBraking(false); break;
        default: break;
    }
}
