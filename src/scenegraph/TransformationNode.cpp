#include "scenegraph/TransformationNode.h"

TransformationNode::TransformationNode(const char* nodeDescription) : ScenegraphNode(nodeDescription) {
    typeName = "TransformationNode";
}
