#include "game/BoozeAction.h"

#include <cmath>

#include "audio/AudioManager.h"
#include "math/Utilities.h"

BoozeAction::BoozeAction(std::shared_ptr<GeometryNode> item, std::shared_ptr<StaticCarMovement> movement,
                         const char* overlayTex)
    : ItemAction(std::move(item), overlayTex), nextSwerve(swerveDelay()), carMovement(std::move(movement)) {}

// Utilities::random() scales by the generator's real maximum, so the delay
// stays within 0.5..1.0 s whatever RAND_MAX is.
double BoozeAction::swerveDelay() { return (Utilities<double>::random() + 1.0) * 0.5; }

void BoozeAction::startInfluence() {
    pull = Side::NONE;
    AudioManager::fireBoozeUpgrade();
}

// Whether the player steers is judged before the flip: the flip itself
// leaves a right turn behind when it switches back to normal steering, and
// a turn left by the previous swerve is not the player's either. Either
// would otherwise keep every later swerve from choosing its side.
void BoozeAction::influence() {
    if (!carMovement) return;
    if (std::fabs(carMovement->speed) <= MIN_SWERVE_SPEED || elapsed <= nextSwerve) return;
    nextSwerve = elapsed + swerveDelay();
    const bool steered = playerSteers();
    carMovement->invertSteering();
    if (steered) pull = Side::NONE;
    else pullTo(Utilities<double>::random() < 0.5 ? Side::LEFT : Side::RIGHT);
}

bool BoozeAction::playerSteers() const {
    const bool left = carMovement->isSteeringLeft(), right = carMovement->isSteeringRight();
    if (pull == Side::LEFT && left && !right) return false;
    if (pull == Side::RIGHT && right && !left) return false;
    return left || right;
}

// While inverted, a released key is what turns the car, so the command
// that turns it to a side is the negated one.
void BoozeAction::pullTo(Side side) {
    pull = side;
    const bool command = !carMovement->steeringInverted();
    if (side == Side::LEFT) carMovement->setSteerLeft(command);
    else carMovement->setSteerRight(command);
}

void BoozeAction::endInfluence() {
    nextSwerve = swerveDelay();
    pull = Side::NONE;
    if (!carMovement) return;
    if (carMovement->steeringInverted()) carMovement->invertSteering();
    carMovement->setSteerLeft(false);
    carMovement->setSteerRight(false);
}
