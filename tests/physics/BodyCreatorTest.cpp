// Geometry nodes in the physics world: the physic volume, the body creators,
// body allocation, nodes following their bodies, and PhysicalObjAnimator.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "NewtonTestSupport.h"
#include "math/Constants.h"
#include "physics/AssignmentPhysicCreator.h"
#include "physics/OccBBPhysicBoxCreator.h"
#include "physics/OccBBPhysicSphereCreator.h"
#include "physics/PhysicSledCreator.h"
#include "physics/PhysicVolume.h"
#include "physics/PhysicalBoxCreator.h"
#include "physics/PhysicalObjAnimator.h"
#include "physics/PhysicalSphereCreator.h"
#include "physics/Physics.h"
#include "physics/PhysicsUpdater.h"
#include "scenegraph/BoxNode.h"
#include "scenegraph/GeometryNode.h"
#include "scenegraph/TransformationNode.h"

using namespace newton_test;

namespace {

// A geometry node with a given bounding box (as a model's finalize sets it).
std::shared_ptr<GeometryNode> nodeWithBox(const char* name, float x0, float x1, float y0, float y1, float z0,
                                          float z1) {
    auto node = std::make_shared<GeometryNode>(name);
    node->getBoundingBox()->setExtent(x0, x1, y0, y1, z0, z1);
    return node;
}

// Makes a node dynamic as the level does for its cars and crates.
void makeDynamic(GeometryNode& node, float mass) {
    auto volume = node.getPhysicVolume();
    volume->isStatic = false;
    volume->mass = mass;
}

class BodyCreatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        Physics::gForce = -9.8f;
        Physics::minFPS = 100.0f;
        Physics::reset();
    }
    void run(double seconds) {
        PhysicsUpdater updater(100);
        for (int i = 0; i < int(std::lround(seconds / 0.011)); ++i) updater.animate(0.011);
    }
    // A static floor node whose top is at y = 0.
    std::shared_ptr<GeometryNode> floor() {
        auto node = nodeWithBox("floor", -20, 20, -1, 0, -20, 20);
        node->physicAllocate();
        return node;
    }
};

TEST_F(BodyCreatorTest, DefaultNodeGetsAStaticBoxOfItsBoundingBox) {
    auto node = nodeWithBox("crate", 0, 2, 1, 2, -1, 3);  // size (2, 1, 4), centre (1, 1.5, 1)
    node->setTranslation(10, 0, 0);
    node->physicAllocate();
    NewtonBody* body = node->getPhysicVolume()->body;
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(NewtonBodyGetUserData(body), node.get());
    Extent e = faceExtent(body);
    const float low[3] = {10, 1, -1}, high[3] = {12, 2, 3};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(e.min[axis], low[axis], 1e-4f);
        EXPECT_NEAR(e.max[axis], high[axis], 1e-4f);
    }
    float mass, ix, iy, iz;
    NewtonBodyGetMassMatrix(body, &mass, &ix, &iy, &iz);
    EXPECT_EQ(mass, 0.0f);
    run(0.5);
    EXPECT_FLOAT_EQ(node->getXpos(), 10.0f);  // static: no callback moved it
}

TEST_F(BodyCreatorTest, NodesOutOfPhysicsGetNoBodyButTheirChildrenDo) {
    auto own = nodeWithBox("billboard", -1, 1, -1, 1, -1, 1);
    own->useOwnTransform = true;
    auto tire = nodeWithBox("tire", -1, 1, -1, 1, -1, 1);
    tire->getPhysicVolume()->noBody = true;
    auto child = nodeWithBox("child", -1, 1, -1, 1, -1, 1);
    auto grandChild = nodeWithBox("grand child", -1, 1, -1, 1, -1, 1);
    own->addChild(child);
    tire->addChild(grandChild);
    own->physicAllocate();
    tire->physicAllocate();
    EXPECT_EQ(own->getPhysicVolume()->body, nullptr);
    EXPECT_EQ(tire->getPhysicVolume()->body, nullptr);
    EXPECT_NE(child->getPhysicVolume()->body, nullptr);
    EXPECT_NE(grandChild->getPhysicVolume()->body, nullptr);
}

TEST_F(BodyCreatorTest, DynamicNodeFallsFollowsItsBodyAndRests) {
    auto ground = floor();
    auto crate = std::make_shared<BoxNode>("crate");
    crate->finalize();  // unit bounding box
    crate->setTranslation(2, 1.5f, -1);
    makeDynamic(*crate, 20.0f);
    crate->physicAllocate();

    run(4.0);

    EXPECT_NEAR(crate->getYpos(), 0.5f, 0.02f);
    EXPECT_NEAR(crate->getXpos(), 2.0f, 0.1f);
    const Matrix& pose = *crate->getPhysicVolume()->matrix;
    EXPECT_FLOAT_EQ(pose[13], crate->getYpos());
    EXPECT_NEAR(pose[5], 1.0f, 1e-3f);
}

TEST_F(BodyCreatorTest, StartPoseTakesTheNodesDegreesAndLeavesTheScaleToDrawing) {
    auto node = nodeWithBox("turned", -0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f);
    node->setTranslation(1, 2, 3);
    node->setRotations(0, 90.0f, 0);
    node->setScale(3, 3, 3);
    node->physicAllocate();
    const Matrix& pose = *node->getPhysicVolume()->matrix;
    // A quarter turn about Y: x goes to -z.
    EXPECT_NEAR(pose[0], 0.0f, 1e-5f);
    EXPECT_NEAR(pose[2], -1.0f, 1e-5f);
    EXPECT_NEAR(pose[8], 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(pose[12], 1.0f);
    EXPECT_FLOAT_EQ(pose[14], 3.0f);
    // No scale in the pose: the node's scale is applied once, when drawing.
    EXPECT_NEAR(std::sqrt(pose[0] * pose[0] + pose[1] * pose[1] + pose[2] * pose[2]), 1.0f, 1e-5f);
    Matrix16 body = matrixOf(node->getPhysicVolume()->body);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(body[i], pose[i], 1e-6f);
}

TEST_F(BodyCreatorTest, DynamicSettingsOfTheVolumeReachTheBody) {
    floor();
    auto node = nodeWithBox("spinner", -0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f);
    node->setTranslation(0, 0.5f, 0);
    auto volume = node->getPhysicVolume();
    makeDynamic(*node, 4.0f);
    volume->alwaysActive = true;
    volume->inertiaX = 1, volume->inertiaY = 2, volume->inertiaZ = 3;
    volume->velocity[0] = 1.5f;
    node->physicAllocate();
    float mass, ix, iy, iz;
    NewtonBodyGetMassMatrix(volume->body, &mass, &ix, &iy, &iz);
    EXPECT_EQ(mass, 4.0f);
    EXPECT_EQ(iy, 2.0f);
    float v[3];
    NewtonBodyGetVelocity(volume->body, v);
    EXPECT_FLOAT_EQ(v[0], 1.5f);

    static int forces;
    forces = 0;
    NewtonBodySetForceAndTorqueCallback(volume->body, [](NewtonBody* b) { ++forces, Physics::handleForceAndTorque(b); });
    run(5.0);  // long at rest: a body that may sleep would
    forces = 0;
    run(0.5);
    EXPECT_GT(forces, 40);  // always active: still called every step
}

TEST_F(BodyCreatorTest, BoxCreatorsSizeTheBoxByScaleOrBoundingBox) {
    auto scaled = nodeWithBox("scaled", -5, 5, -5, 5, -5, 5);
    scaled->setScale(2, 4, 6);
    scaled->getPhysicVolume()->creator = std::make_shared<PhysicalBoxCreator>(scaled.get());
    scaled->physicAllocate();
    Extent e = faceExtent(scaled->getPhysicVolume()->body);
    EXPECT_NEAR(e.max[0] - e.min[0], 2.0f, 1e-4f);
    EXPECT_NEAR(e.max[1] - e.min[1], 4.0f, 1e-4f);
    EXPECT_NEAR(e.max[2] - e.min[2], 6.0f, 1e-4f);

    auto sphereNamed = nodeWithBox("sphere named", -5, 5, -5, 5, -5, 5);
    sphereNamed->setScale(1, 2, 3);
    sphereNamed->getPhysicVolume()->creator = std::make_shared<PhysicalSphereCreator>(sphereNamed.get());
    sphereNamed->physicAllocate();
    Extent s = faceExtent(sphereNamed->getPhysicVolume()->body);
    EXPECT_EQ(s.faces, 6);  // the same box, despite the name
    EXPECT_NEAR(s.max[2] - s.min[2], 3.0f, 1e-4f);
}

TEST_F(BodyCreatorTest, SphereCreatorFitsASphereOrAnEllipsoidToTheBoundingBox) {
    auto perfect = nodeWithBox("perfect", -1, 1, -3, 3, -2, 2);  // size (2, 6, 4)
    perfect->getPhysicVolume()->creator = std::make_shared<OccBBPhysicSphereCreator>(perfect.get(), true);
    auto ellipsoid = nodeWithBox("ellipsoid", -1, 1, -3, 3, -2, 2);
    ellipsoid->getPhysicVolume()->creator = std::make_shared<OccBBPhysicSphereCreator>(ellipsoid.get(), false);
    ellipsoid->setTranslation(20, 0, 0);
    perfect->physicAllocate();
    ellipsoid->physicAllocate();

    Extent p = faceExtent(perfect->getPhysicVolume()->body);
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(p.max[axis] - p.min[axis], 6.0f, 0.01f);  // radius 3
    Extent e = faceExtent(ellipsoid->getPhysicVolume()->body);
    EXPECT_NEAR(e.max[0] - e.min[0], 2.0f, 0.01f);
    EXPECT_NEAR(e.max[1] - e.min[1], 6.0f, 0.01f);
    EXPECT_NEAR(e.max[2] - e.min[2], 4.0f, 0.01f);
}

TEST_F(BodyCreatorTest, SledHasRunnersAndABlockFittedToTheScaledBox) {
    floor();
    // Model box (0.5, 0.25, 1) scaled by 2: a car of size (1, 0.5, 2).
    auto car = nodeWithBox("car", -0.25f, 0.25f, -0.125f, 0.125f, -0.5f, 0.5f);
    car->setScale(2, 2, 2);
    car->getPhysicVolume()->creator = std::make_shared<PhysicSledCreator>(car.get());
    car->setTranslation(0, 1, 0);
    makeDynamic(*car, 20.0f);
    car->physicAllocate();
    run(2.0);

    EXPECT_NEAR(car->getYpos(), 0.25f, 0.02f);  // on runners of radius 0.25 at y = 0
    Extent e = faceExtent(car->getPhysicVolume()->body);
    EXPECT_NEAR(e.min[0], -0.5f, 0.02f);
    EXPECT_NEAR(e.max[0], 0.5f, 0.02f);
    EXPECT_NEAR(e.max[1], 0.25f + 0.25f + 0.125f, 0.02f);  // block of height 0.25 at y = 0.25
    EXPECT_NEAR(e.max[2] - e.min[2], 2.0f, 0.02f);
}

TEST_F(BodyCreatorTest, AssignmentCreatorHandsOutTheGivenBody) {
    NewtonCollision* shape = NewtonCreateBox(Physics::newtonWorld, 1, 1, 1, nullptr);
    NewtonBody* made = NewtonCreateBody(Physics::newtonWorld, shape);
    NewtonReleaseCollision(Physics::newtonWorld, shape);
    auto node = std::make_shared<GeometryNode>("chassis");
    node->getPhysicVolume()->creator = std::make_shared<AssignmentPhysicCreator>(made);
    node->setTranslation(0, 7, 0);
    node->physicAllocate();
    EXPECT_EQ(node->getPhysicVolume()->body, made);
    EXPECT_FLOAT_EQ(matrixOf(made)[13], 7.0f);
}

TEST_F(BodyCreatorTest, ANodeDestroyedBeforeItsWorldIsNoLongerCalled) {
    floor();
    auto crate = nodeWithBox("short-lived", -0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f);
    crate->setTranslation(0, 3, 0);
    makeDynamic(*crate, 1.0f);
    crate->physicAllocate();
    NewtonBody* body = crate->getPhysicVolume()->body;
    run(0.2);
    crate.reset();  // the body stays in the world
    EXPECT_EQ(NewtonBodyGetUserData(body), nullptr);
    run(2.0);  // AddressSanitizer catches a callback into the freed node
    EXPECT_NEAR(matrixOf(body)[13], 0.5f, 0.02f);
}

TEST_F(BodyCreatorTest, PhysicalObjAnimatorCopiesThePoseIntoATransformationNode) {
    floor();
    auto rigid = nodeWithBox("rigid", -0.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f);
    rigid->useOwnTransform = true;
    auto trans = std::make_shared<TransformationNode>("follower");
    PhysicalObjAnimator animator(rigid, trans);
    EXPECT_FALSE(rigid->useOwnTransform);

    animator.animate(0.01);  // no body yet: nothing to copy
    EXPECT_FLOAT_EQ((*trans->getMatrix())[13], 0.0f);

    rigid->setTranslation(4, 2, 0);
    makeDynamic(*rigid, 1.0f);
    rigid->physicAllocate();
    run(0.3);
    animator.animate(0.01);
    Matrix16 body = matrixOf(rigid->getPhysicVolume()->body);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ((*trans->getMatrix())[i], body[i]);
    EXPECT_LT((*trans->getMatrix())[13], 2.0f);
}

}  // namespace
