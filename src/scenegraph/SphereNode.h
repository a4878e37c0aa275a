#pragma once
#include "scenegraph/GeometryNode.h"

// A solid sphere of the given radius, 50 slices and 50 stacks.
class SphereNode : public GeometryNode {
public:
    SphereNode(const char* nodeDescription, float radius);

    void executeDisplayList() override;
    void finalize() override;
    void print() override;
    float maxScale() const;
    float getRadius() const { return radius; }

    static constexpr int SLICES = 50;
    static constexpr int STACKS = 50;

private:
    float radius;
};
