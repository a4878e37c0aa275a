#pragma once
#include <memory>

#include "animation/Animation.h"

class GeometryNode;
class TransformationNode;

// Copies the pose of a node's rigid body into a transformation node every frame.
class PhysicalObjAnimator : public Animation {
public:
    // Takes the rigid node into physics (clears its useOwnTransform).
    PhysicalObjAnimator(std::shared_ptr<GeometryNode> rigid, std::shared_ptr<TransformationNode> trans);

    void animate(double elapsedTime) override;

protected:
    std::shared_ptr<GeometryNode> rigid;
    std::shared_ptr<TransformationNode> trans;
};
