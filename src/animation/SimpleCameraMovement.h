#pragma once
#include <memory>

#include "animation/Animation.h"
#include "scenegraph/CameraNode.h"

// Flies a free camera: forward and backward along its view direction on the
// ground plane, and turning about the vertical axis. It writes the camera's
// free offset and yaw; the camera's preference flag is left alone.
class SimpleCameraMovement : public Animation {
public:
    explicit SimpleCameraMovement(std::shared_ptr<CameraNode> obj);

    void animate(double elapsedTime) override;

    void setForward(bool forward) { this->forward = forward; }
    void setBackward(bool backward) { this->backward = backward; }
    void setRotateLeft(bool rotleft) { rotateLeft = rotleft; }
    void setRotateRight(bool rotright) { rotateRight = rotright; }
    void stop();

    float rotationSpeed = 60.0f;  // degrees per second
    float speed = 20.0f;          // units per second

private:
    std::shared_ptr<CameraNode> camera;
    bool forward = false, backward = false, rotateLeft = false, rotateRight = false;
};
