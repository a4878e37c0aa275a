#pragma once
#include <memory>

#include "animation/Animation.h"
#include "scenegraph/GeometryNode.h"

// Spins a node about its three axes at constant rates. The rotor owns the
// node's rotation: it starts from (0, 0, 0) and overwrites whatever rotation
// the node had.
class Rotor : public Animation {
public:
    explicit Rotor(std::shared_ptr<GeometryNode> obj);

    void animate(double elapsedTime) override;

    // Degrees per second, set by the creator.
    double speedX = 0.0, speedY = 0.0, speedZ = 0.0;

    float getAngleX() const { return angleX; }
    float getAngleY() const { return angleY; }
    float getAngleZ() const { return angleZ; }

private:
    // Current angles in degrees, kept in [-180, 180].
    float angleX = 0.0f, angleY = 0.0f, angleZ = 0.0f;
    std::shared_ptr<GeometryNode> node;
};
