#include "animation/Rotor.h"

namespace {
void wrapDown(float& angle) {
    while (angle > 180.0f) angle -= 360.0f;
}
void wrapUp(float& angle) {
    while (angle < -180.0f) angle += 360.0f;
}
}  // namespace

Rotor::Rotor(std::shared_ptr<GeometryNode> obj) : Animation(obj), node(std::move(obj)) {}

void Rotor::animate(double elapsedTime) {
    angleX += static_cast<float>(speedX * elapsedTime);
    angleY += static_cast<float>(speedY * elapsedTime);
    angleZ += static_cast<float>(speedZ * elapsedTime);
    // Exactly 180 stays: only values beyond the range are brought back.
    wrapDown(angleX);
    wrapDown(angleY);
    wrapDown(angleZ);
    wrapUp(angleX);
    wrapUp(angleY);
    wrapUp(angleZ);
    node->setRotations(angleX, angleY, angleZ);
}
