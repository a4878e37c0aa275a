#pragma once
#include <GL/glew.h>

#include <memory>

#include "math/Matrix.h"
#include "math/Point.h"
#include "math/Utilities.h"
#include "scenegraph/ScenegraphNode.h"

// One GL light, placed in the coordinates of where the node hangs in the graph.
class LightNode : public ScenegraphNode {
public:
    LightNode(GLenum lightNr, const char* nodeDescription);

    // x, y, z and w = a (w = 0: a directional light).
    void setLightPosition(float x, float y, float z, float a);
    void fireParamsChanged() { paramsChanged = true; }
    Point getPosition() const;
    void loadCurrentMatrix();

    void switchOn();
    void switchOff();
    GLenum getLightNr() const { return lightNr; }

    void performOperations() override;
    void executeDisplayList() override;
    void print() override;

    static FloatArray INITIAL_POSITION;

private:
    static bool staticsInitiated;
    std::shared_ptr<Matrix> currentMatrix = std::make_shared<Matrix>();
    GLenum lightNr;
    FloatArray lightPosition;
    bool on = true;
    bool paramsChanged = true;
};
