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

void BoozeAction::startInfluence() { AudioManager::fireBoozeUpgrade(); }

void BoozeAction::influence() {
    if (!carMovement) return;
    if (std::fabs(carMovement->speed) <= MIN_SWERVE_SPEED || elapsed <= nextSwerve) return;
    nextSwerve = elapsed + swerveDelay();
    carMovement->invertSteering();
    if (!carMovement->isSteering()) {
        if (Utilities<double>::random() < 0.5) carMovement->setSteerLeft(true);
        else carMovement->setSteerRight(true);
    }
}

void BoozeAction::endInfluence() {
    nextSwerve = swerveDelay();
    if (!carMovement) return;
    if (carMovement->steeringInverted()) carMovement->invertSteering();
    carMovement->setSteerLeft(false);
    carMovement->setSteerRight(false);
}
