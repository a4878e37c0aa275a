#pragma once
#include <memory>

#include "math/Matrix.h"
#include "scenegraph/ScenegraphNode.h"

// A node that only carries a transformation matrix; it draws nothing.
class TransformationNode : public ScenegraphNode {
public:
    explicit TransformationNode(const char* nodeDescription);
    std::shared_ptr<Matrix> getMatrix() const { return matrix; }

private:
    std::shared_ptr<Matrix> matrix = std::make_shared<Matrix>();
};
