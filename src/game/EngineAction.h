#pragma once
#include <memory>

#include "game/ItemAction.h"
#include "vehicles/PhysicCarMovement.h"

// A stronger engine: while the influence runs the player's car accelerates
// twice as fast and reaches twice its forward and reverse speed limits.
class EngineAction : public ItemAction {
public:
    EngineAction(std::shared_ptr<GeometryNode> item, std::shared_ptr<PhysicCarMovement> carMovement,
                 const char* overlayTex);

    void startInfluence() override;
    void endInfluence() override;

    static constexpr double BOOST = 2.0;

private:
    void scale(double factor);

    std::shared_ptr<PhysicCarMovement> carMovement;
};
