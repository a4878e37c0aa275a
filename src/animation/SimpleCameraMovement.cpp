#include "animation/SimpleCameraMovement.h"

#include <cmath>

#include "math/Constants.h"

SimpleCameraMovement::SimpleCameraMovement(std::shared_ptr<CameraNode> obj) : Animation(obj), camera(std::move(obj)) {}

void SimpleCameraMovement::stop() {
    forward = backward = rotateLeft = rotateRight = false;
}

void SimpleCameraMovement::animate(double elapsedTime) {
    const double t = elapsedTime;
    CameraNode& cam = *camera;
    if (rotateLeft) {
        cam.camRotY += static_cast<float>(rotationSpeed * t);
        while (cam.camRotY > 360.0f) cam.camRotY -= 360.0f;
    }
    if (rotateRight) {
        cam.camRotY -= static_cast<float>(rotationSpeed * t);
        while (cam.camRotY < -360.0f) cam.camRotY += 360.0f;
    }
    const double a = cam.camRotY * PI_OVER_180;
    const float dx = static_cast<float>(std::sin(a) * speed * t);
    const float dz = static_cast<float>(std::cos(a) * speed * t);
    if (forward) {
        cam.transX -= dx;
        cam.transZ -= dz;
    }
    if (backward) {
        cam.transX += dx;
        cam.transZ += dz;
    }
}
