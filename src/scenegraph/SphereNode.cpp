#include "scenegraph/SphereNode.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>

SphereNode::SphereNode(const char* desc, float r) : GeometryNode(desc), radius(r) { typeName = "SphereNode"; }

void SphereNode::executeDisplayList() {
    glPushMatrix();
    GeometryNode::executeDisplayList();
    glutSolidSphere(radius, SLICES, STACKS);
    glPopMatrix();
}

void SphereNode::finalize() {
    boundingBox->setExtent(-radius, radius, -radius, radius, -radius, radius);
    GeometryNode::finalize();
}

float SphereNode::maxScale() const { return std::max({scaleX, scaleY, scaleZ}); }

void SphereNode::print() {
    GeometryNode::print();
    std::printf("\n   Sphere parameters:");
    std::printf("\n      radius = %.5f", radius);
    std::printf("\n      slices = %i", SLICES);
    std::printf("\n      stacks = %i", STACKS);
}
