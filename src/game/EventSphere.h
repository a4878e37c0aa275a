#pragma once
#include "scenegraph/GeometryNode.h"

// An invisible node that only carries an event sphere: a trigger region in
// the world (the start/finish area, a checkpoint). Never occlusion-tested,
// never a physical body.
class EventSphere : public GeometryNode {
public:
    explicit EventSphere(const char* nodeDescription);

    void finalize() override;
    void print() override {}
    void executeDisplayList() override {}
};
