#pragma once
#include <memory>

#include "game/ItemAction.h"
#include "vehicles/StaticCarMovement.h"

// Drunken steering: while the influence runs and the car is moving, the
// steering flips between normal and inverted at random intervals of 0.5 to
// 1.0 s, and a car that the player is not steering at that moment swerves to
// a random side, each swerve drawing its side anew. At the end the steering
// is normal again and the swerve is released.
class BoozeAction : public ItemAction {
public:
    BoozeAction(std::shared_ptr<GeometryNode> item, std::shared_ptr<StaticCarMovement> carMovement,
                const char* overlayTex);

    void startInfluence() override;
    void influence() override;
    void endInfluence() override;

    // Time of the next swerve, in seconds on the item's clock (since the pickup).
    double getNextSwerve() const { return nextSwerve; }

    // Below this absolute speed the car is too slow to swerve.
    static constexpr float MIN_SWERVE_SPEED = 1.5f;

private:
    enum class Side { NONE, LEFT, RIGHT };

    // A random delay from 0.5 to 1.0 s.
    static double swerveDelay();
    // The turn flags are the player's, not just what the last swerve left.
    bool playerSteers() const;
    // Turns the car to the side whether or not the steering is inverted.
    void pullTo(Side side);

    double nextSwerve;
    Side pull = Side::NONE;  // the side the last swerve turned to
    std::shared_ptr<StaticCarMovement> carMovement;
};
