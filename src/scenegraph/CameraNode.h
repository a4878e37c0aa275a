#pragma once
#include <memory>

#include "math/Matrix.h"
#include "scenegraph/ScenegraphNode.h"

// The view: a look-at (eye, centre, up), followed either by the inverse
// transform of the node the camera follows or by a free offset and rotation.
// It leaves one matrix pushed; the root node pops it after its children.
class CameraNode : public ScenegraphNode {
public:
    CameraNode(std::shared_ptr<ScenegraphNode> skyElements, const char* nodeDescription);

    void setEyePoint(float eyex, float eyey, float eyez);
    void setEyeCenter(float centerx, float centery, float centerz);
    void setUpVector(float upx, float upy, float upz);
    void fireCameraPrefsChange() { prefsChanged = true; }
    void resetCameraPosition();

    void performOperations() override;
    void executeDisplayList() override {}
    void print() override;

    void setFocusing(bool on) { focusing = on; }
    bool isFocusing() const { return focusing; }
    std::shared_ptr<Matrix> getViewMatrix() const { return viewMatrix; }
    std::shared_ptr<ScenegraphNode> getSkyElements() const { return skyElements; }
    bool hasPrefsChanged() const { return prefsChanged; }
    float getEyeX() const { return eyeX; }
    float getEyeY() const { return eyeY; }
    float getEyeZ() const { return eyeZ; }

    // Free camera offset and rotations (degrees); written directly by camera animators.
    float transX = 0, transY = 0, transZ = 0;
    float camRotY = 0, camRotX = 0, camRotZ = 0;

private:
    bool focusing = false;
    std::shared_ptr<Matrix> viewMatrix = std::make_shared<Matrix>();
    std::shared_ptr<ScenegraphNode> skyElements;
    bool prefsChanged = true;
    float eyeX = 0, eyeY = 0, eyeZ = -0.0001f;
    float centerX = 0, centerY = 0, centerZ = 0;
    float upX = 0, upY = 1, upZ = 0;
};
