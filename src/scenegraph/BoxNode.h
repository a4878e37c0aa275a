#pragma once
#include "scenegraph/GeometryNode.h"

// A unit cube, drawn with glutSolidCube.
class BoxNode : public GeometryNode {
public:
    explicit BoxNode(const char* nodeDescription);

    void executeDisplayList() override;
    void finalize() override;
};
