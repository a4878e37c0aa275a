#include "physics/PhysicSledCreator.h"

#include <cstdio>

#include "math/Constants.h"
#include "math/Matrix.h"
#include "physics/Physics.h"
#include "scenegraph/GeometryNode.h"

void PhysicSledCreator::createRigidBody() {
    if (!geom) {
        std::printf("\n PhysicSledCreator::createRigidBody(): no node given");
        return;
    }
    const GeometryNode::BoundingBox& box = *geom->getBoundingBox();
    const float s[3] = {geom->getScalex(), geom->getScaley(), geom->getScalez()};
    const float c[3] = {s[0] * box.center[0], s[1] * box.center[1], s[2] * box.center[2]};
    const float w = s[0] * box.size[0];  // width
    const float h = s[1] * box.size[1];  // height
    const float l = s[2] * box.size[2];  // length
    const float r = w * 0.25f;           // runner radius
    const float runnerY = c[1] - 0.5f * h + r;

    // Capsules lie along their local X axis: turned about Y they run along the car.
    Matrix left, right, top;
    left.translate(c[0] - 0.5f * w + r, runnerY, c[2]).rotateY(HALF_PI);
    right.translate(0.5f * w + c[0] - r, runnerY, c[2]).rotateY(HALF_PI);
    top.translate(c[0], c[1] + r, c[2]);
    NewtonWorld* world = Physics::newtonWorld;
    NewtonCollision* parts[3] = {NewtonCreateCapsule(world, r, l, left.data()),
                                 NewtonCreateCapsule(world, r, l, right.data()),
                                 NewtonCreateBox(world, w - 2 * r, h - r, l - 2 * r, top.data())};
    NewtonCollision* sled = NewtonCreateCompoundCollision(world, 3, parts);
    for (NewtonCollision* part : parts) NewtonReleaseCollision(world, part);
    makeBody(sled);
}
