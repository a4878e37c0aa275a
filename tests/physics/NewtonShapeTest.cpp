// Collision shapes of the Newton-style interface, checked by where bodies of
// those shapes come to rest and by the faces the debug walk reports.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "NewtonTestSupport.h"

using namespace newton_test;

namespace {


class NewtonShapeTest : public ::testing::Test {
protected:
    TestWorld w;
};

TEST_F(NewtonShapeTest, BoxReportsItsSixFacesInWorldCoordinates) {
    NewtonBody* box = w.box(2, 4, 6, translation(1, 2, 3), 0);
    Extent e = faceExtent(box);
    EXPECT_EQ(e.faces, 6);
    for (int count : e.vertexCounts) EXPECT_EQ(count, 4);
    const float low[3] = {0, 0, 0}, high[3] = {2, 4, 6};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(e.min[axis], low[axis], 1e-5f);
        EXPECT_NEAR(e.max[axis], high[axis], 1e-5f);
    }
}

TEST_F(NewtonShapeTest, BoxOffsetMovesTheShapeNotTheBody) {
    Matrix16 offset = translation(0, 1, 0);
    NewtonBody* box = w.body(NewtonCreateBox(w.world, 1, 1, 1, offset.data()), translation(0, 3, 0), 1.0f);
    w.floor();
    w.run(2.0f);
    EXPECT_NEAR(matrixOf(box)[13], -0.5f, 0.02f);  // the shape's centre rests at 0.5
}

TEST_F(NewtonShapeTest, CapsuleLiesAlongLocalXWithItsTotalLength) {
    w.floor();
    NewtonBody* capsule = w.body(NewtonCreateCapsule(w.world, 0.25f, 2.0f, nullptr), translation(0, 1, 0), 1.0f);
    w.run(2.0f);
    Matrix16 m = matrixOf(capsule);
    EXPECT_NEAR(m[13], 0.25f, 0.02f);
    Extent e = faceExtent(capsule);
    EXPECT_NEAR(e.min[0], -1.0f, 0.02f);
    EXPECT_NEAR(e.max[0], 1.0f, 0.02f);
    EXPECT_NEAR(e.min[1], 0.0f, 0.02f);
    EXPECT_NEAR(e.max[2] - e.min[2], 0.5f, 0.02f);
}

TEST_F(NewtonShapeTest, UprightCapsuleStandsOnItsTip) {
    w.floor();
    // The offset turns local X up; a large inertia keeps the capsule from toppling.
    Matrix16 up = rolled(HALF_PI, 0, 0, 0);
    NewtonBody* capsule = w.body(NewtonCreateCapsule(w.world, 0.25f, 2.0f, up.data()), translation(0, 2, 0), 0);
    NewtonBodySetMassMatrix(capsule, 1.0f, 1e6f, 1e6f, 1e6f);
    NewtonBodySetForceAndTorqueCallback(capsule, gravity);
    w.run(2.0f);
    EXPECT_NEAR(matrixOf(capsule)[13], 1.0f, 0.02f);
}

TEST_F(NewtonShapeTest, SledCompoundPartsSitAtTheirOffsets) {
    // Scale 1, bounding box (1, 0.5, 2) around the origin: runners of radius
    // 0.25 and length 2 at x = -0.25 and 0.25, y = 0; a box (0.5, 0.25, 1.5) at y = 0.25.
    Matrix16 left = yawed(HALF_PI, -0.25f, 0, 0);
    Matrix16 right = yawed(HALF_PI, 0.25f, 0, 0);
    Matrix16 block = translation(0, 0.25f, 0);
    NewtonCollision* parts[3] = {NewtonCreateCapsule(w.world, 0.25f, 2.0f, left.data()),
                                 NewtonCreateCapsule(w.world, 0.25f, 2.0f, right.data()),
                                 NewtonCreateBox(w.world, 0.5f, 0.25f, 1.5f, block.data())};
    NewtonCollision* sled = NewtonCreateCompoundCollision(w.world, 3, parts);
    for (NewtonCollision* part : parts) NewtonReleaseCollision(w.world, part);

    w.floor();
    NewtonBody* body = w.body(sled, translation(0, 1, 0), 20.0f);
    w.run(2.0f);

    EXPECT_NEAR(matrixOf(body)[13], 0.25f, 0.02f);  // resting on the runners
    Extent e = faceExtent(body);
    EXPECT_NEAR(e.min[0], -0.5f, 0.02f);
    EXPECT_NEAR(e.max[0], 0.5f, 0.02f);
    EXPECT_NEAR(e.min[1], 0.0f, 0.02f);
    EXPECT_NEAR(e.max[1], 0.625f, 0.02f);  // box top: 0.25 + 0.125 above the origin
    EXPECT_NEAR(e.min[2], -1.0f, 0.02f);
    EXPECT_NEAR(e.max[2], 1.0f, 0.02f);
}

TEST_F(NewtonShapeTest, EllipsoidHasItsThreeRadii) {
    w.floor();
    NewtonBody* body =
        w.body(NewtonCreateSphere(w.world, 1.0f, 0.5f, 2.0f, nullptr), translation(0, 1, 0), 1.0f);
    w.run(2.0f);
    EXPECT_NEAR(matrixOf(body)[13], 0.5f, 0.02f);
    Extent e = faceExtent(body);
    EXPECT_NEAR(e.max[0] - e.min[0], 2.0f, 0.02f);
    EXPECT_NEAR(e.max[1] - e.min[1], 1.0f, 0.02f);
    EXPECT_NEAR(e.max[2] - e.min[2], 4.0f, 0.02f);
}

TEST_F(NewtonShapeTest, SphereRestsAtItsRadius) {
    w.floor(2.0f);
    NewtonBody* ball = w.body(NewtonCreateSphere(w.world, 0.7f, 0.7f, 0.7f, nullptr), translation(0, 4, 0), 1.0f);
    w.run(3.0f);
    EXPECT_NEAR(matrixOf(ball)[13], 2.7f, 0.02f);
}

// Two flat triangles, one at height 1 over x < 0 and one at height 3 over x > 0.
NewtonCollision* twoLevelTree(NewtonWorld* world) {
    NewtonCollision* tree = NewtonCreateTreeCollision(world, nullptr);
    NewtonTreeCollisionBeginBuild(tree);
    const float low[9] = {-10, 1, -10, -10, 1, 10, -0.5f, 1, 0};
    const float high[9] = {10, 3, 10, 10, 3, -10, 0.5f, 3, 0};
    NewtonTreeCollisionAddFace(tree, 3, low, 12, 1);
    NewtonTreeCollisionAddFace(tree, 3, high, 12, 1);
    NewtonTreeCollisionEndBuild(tree, 0);
    return tree;
}

TEST_F(NewtonShapeTest, TreeCatchesBodiesAtTheHeightOfTheTriangleBelow) {
    NewtonBody* ground = w.body(twoLevelTree(w.world), translation(0, 0, 0), 0);
    NewtonBody* left = w.box(0.5f, 0.5f, 0.5f, translation(-6, 5, 0), 1.0f);
    NewtonBody* right = w.box(0.5f, 0.5f, 0.5f, translation(6, 5, 0), 1.0f);
    w.run(3.0f);
    EXPECT_NEAR(matrixOf(left)[13], 1.25f, 0.02f);
    EXPECT_NEAR(matrixOf(right)[13], 3.25f, 0.02f);
    EXPECT_NEAR(matrixOf(left)[12], -6.0f, 0.05f);

    Extent e = faceExtent(ground);
    EXPECT_EQ(e.faces, 2);
    EXPECT_FLOAT_EQ(e.min[1], 1.0f);
    EXPECT_FLOAT_EQ(e.max[1], 3.0f);
}

TEST_F(NewtonShapeTest, TreeFollowsItsBodyPoseAndSplitsPolygonsIntoTriangles) {
    NewtonCollision* tree = NewtonCreateTreeCollision(w.world, nullptr);
    NewtonTreeCollisionBeginBuild(tree);
    // One quad with a stride of 16 bytes (x, y, z and one unused float).
    const float quad[16] = {-5, 0, -5, 9, -5, 0, 5, 9, 5, 0, 5, 9, 5, 0, -5, 9};
    NewtonTreeCollisionAddFace(tree, 4, quad, 16, 7);
    NewtonTreeCollisionEndBuild(tree, 1);
    NewtonBody* ground = w.body(tree, translation(0, 2, 0), 0);
    NewtonBody* box = w.box(1, 1, 1, translation(1, 5, 1), 1.0f);
    w.run(2.0f);
    EXPECT_NEAR(matrixOf(box)[13], 2.5f, 0.02f);

    static std::vector<int> ids;
    ids.clear();
    NewtonBodyForEachPolygonDo(ground, [](NewtonBody*, int count, const float*, int id) {
        EXPECT_EQ(count, 3);
        ids.push_back(id);
    });
    EXPECT_EQ(ids, std::vector<int>({7, 7}));
}

TEST_F(NewtonShapeTest, TreeSharesCornersBetweenFacesAndKeepsEachFaceAndItsId) {
    // A 6 x 6 grid of cells on a slope, two triangles per cell, every inner
    // corner used by six faces; the face ids run 0, 1, 2, ... except that the
    // corners of a cell's second triangle come in another order.
    auto y = [](int i, int j) { return 0.25f * i + 0.125f * j; };
    std::vector<std::vector<float>> added;
    NewtonCollision* tree = NewtonCreateTreeCollision(w.world, nullptr);
    NewtonTreeCollisionBeginBuild(tree);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            const float x0 = i - 3.0f, z0 = j - 3.0f;
            added.push_back({x0, y(i, j), z0, x0, y(i, j + 1), z0 + 1, x0 + 1, y(i + 1, j), z0});
            added.push_back({x0 + 1, y(i + 1, j + 1), z0 + 1, x0 + 1, y(i + 1, j), z0, x0, y(i, j + 1), z0 + 1});
            for (std::size_t f = added.size() - 2; f < added.size(); ++f)
                NewtonTreeCollisionAddFace(tree, 3, added[f].data(), 12, int(f));
        }
    NewtonTreeCollisionEndBuild(tree, 0);
    NewtonBody* ground = w.body(tree, translation(0, 0, 0), 0);

    static std::vector<std::vector<float>> faces;
    static std::vector<int> ids;
    faces.clear();
    ids.clear();
    NewtonBodyForEachPolygonDo(ground, [](NewtonBody*, int count, const float* face, int id) {
        faces.emplace_back(face, face + 3 * count);
        ids.push_back(id);
    });
    ASSERT_EQ(faces.size(), added.size());
    std::vector<int> seen(added.size(), 0);
    for (std::size_t k = 0; k < faces.size(); ++k) {
        ASSERT_GE(ids[k], 0);
        ASSERT_LT(ids[k], int(added.size()));
        ++seen[ids[k]];
        EXPECT_EQ(faces[k], added[ids[k]]) << "face " << ids[k] << " keeps its corners and their order";
    }
    EXPECT_EQ(seen, std::vector<int>(added.size(), 1)) << "each face once, with its own id";

    // A box dropped on the slope comes to rest on it.
    NewtonBody* box = w.box(0.4f, 0.4f, 0.4f, translation(0.3f, 3, 0.6f), 1.0f);
    w.run(1.0f);
    EXPECT_GT(matrixOf(box)[13], y(3, 3) - 0.1f);
    EXPECT_LT(matrixOf(box)[13], y(6, 6) + 0.5f);
}

TEST_F(NewtonShapeTest, LargeTreeCatchesBodiesWhereverTheyLand) {
    // A 40 x 40 grid of 1 m cells: a plateau at height 2 for x < 0, height 0
    // beyond, and one huge triangle at -5 under all of it (too large for the
    // grid cells, so it is found another way).
    auto height = [](int i) { return i <= 20 ? 2.0f : 0.0f; };
    NewtonCollision* tree = NewtonCreateTreeCollision(w.world, nullptr);
    NewtonTreeCollisionBeginBuild(tree);
    for (int i = 0; i < 40; ++i) {
        for (int j = 0; j < 40; ++j) {
            float x0 = i - 20.0f, x1 = x0 + 1, z0 = j - 20.0f, z1 = z0 + 1;
            const float a[9] = {x0, height(i), z0, x0, height(i), z1, x1, height(i + 1), z0};
            const float b[9] = {x1, height(i + 1), z0, x0, height(i), z1, x1, height(i + 1), z1};
            NewtonTreeCollisionAddFace(tree, 3, a, 12, 1);
            NewtonTreeCollisionAddFace(tree, 3, b, 12, 1);
        }
    }
    const float huge[9] = {-500, -5, -500, -500, -5, 500, 500, -5, 0};
    NewtonTreeCollisionAddFace(tree, 3, huge, 12, 2);
    NewtonTreeCollisionEndBuild(tree, 0);
    w.body(tree, translation(0, 0, 0), 0);

    NewtonBody* high = w.box(0.5f, 0.5f, 0.5f, translation(-10.3f, 4, 7.6f), 1.0f);
    NewtonBody* low = w.box(0.5f, 0.5f, 0.5f, translation(12.7f, 3, -15.2f), 1.0f);
    NewtonBody* outside = w.box(0.5f, 0.5f, 0.5f, translation(60, -3, 0), 1.0f);
    w.run(2.5f);
    EXPECT_NEAR(matrixOf(high)[13], 2.25f, 0.02f);
    EXPECT_NEAR(matrixOf(low)[13], 0.25f, 0.02f);
    EXPECT_NEAR(matrixOf(outside)[13], -4.75f, 0.02f);
}

TEST_F(NewtonShapeTest, SledSlidesOverTheSeamsOfAFlatTreeWithoutHopping) {
    // A flat floor of 2 m cells; the sled is driven in a curve across many seams.
    NewtonCollision* tree = NewtonCreateTreeCollision(w.world, nullptr);
    NewtonTreeCollisionBeginBuild(tree);
    for (int i = 0; i < 50; ++i) {
        for (int j = 0; j < 50; ++j) {
            float x0 = 2.0f * i - 50, x1 = x0 + 2, z0 = 2.0f * j - 50, z1 = z0 + 2;
            const float a[9] = {x0, 0, z0, x0, 0, z1, x1, 0, z0};
            const float b[9] = {x1, 0, z0, x0, 0, z1, x1, 0, z1};
            NewtonTreeCollisionAddFace(tree, 3, a, 12, 1);
            NewtonTreeCollisionAddFace(tree, 3, b, 12, 1);
        }
    }
    NewtonTreeCollisionEndBuild(tree, 0);
    w.body(tree, translation(0, 0, 0), 0);

    Matrix16 left = yawed(HALF_PI, -0.45f, -0.15f, 0), right = yawed(HALF_PI, 0.45f, -0.15f, 0);
    Matrix16 block = translation(0, 0.45f, 0);
    NewtonCollision* parts[3] = {NewtonCreateCapsule(w.world, 0.45f, 4.0f, left.data()),
                                 NewtonCreateCapsule(w.world, 0.45f, 4.0f, right.data()),
                                 NewtonCreateBox(w.world, 0.9f, 0.75f, 3.1f, block.data())};
    NewtonBody* sled = w.body(NewtonCreateCompoundCollision(w.world, 3, parts), translation(0.3f, 1, 0.7f), 20);
    const float com[3] = {0, -0.07f, 0};
    NewtonBodySetCentreOfMass(sled, com);
    NewtonBodySetAutoFreeze(sled, 0);

    float heading = 0.3f, lowest = 10, highest = -10, fastestUp = 0;
    for (int i = 0; i < 400; ++i) {
        heading += 0.002f;
        Matrix16 m = matrixOf(sled);
        NewtonBodySetMatrix(sled, yawed(heading, m[12], m[13], m[14]).data());
        float v[3];
        NewtonBodyGetVelocity(sled, v);
        v[0] = -12 * std::sin(heading), v[2] = -12 * std::cos(heading);
        NewtonBodySetVelocity(sled, v);
        NewtonUpdate(w.world, 0.01f);
        if (i < 100) continue;  // landing
        NewtonBodyGetVelocity(sled, v);
        fastestUp = std::max(fastestUp, v[1]);
        lowest = std::min(lowest, matrixOf(sled)[13]);
        highest = std::max(highest, matrixOf(sled)[13]);
    }
    EXPECT_NEAR(lowest, 0.6f, 0.01f);  // runners of radius 0.45 at -0.15
    EXPECT_LT(highest - lowest, 0.01f);
    EXPECT_LT(fastestUp, 0.2f);
}

TEST_F(NewtonShapeTest, ATreeCannotBeMadeDynamic) {
    NewtonBody* ground = w.body(twoLevelTree(w.world), translation(0, 0, 0), 0);
    testing::internal::CaptureStdout();
    NewtonBodySetMassMatrix(ground, 10.0f, 1, 1, 1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("stays static"), std::string::npos);
    float mass, ix, iy, iz;
    NewtonBodyGetMassMatrix(ground, &mass, &ix, &iy, &iz);
    EXPECT_EQ(mass, 0.0f);
}

TEST_F(NewtonShapeTest, CollisionsSharedByBodiesLiveAsLongAsTheyAreUsed) {
    NewtonCollision* shared = NewtonCreateBox(w.world, 1, 1, 1, nullptr);
    NewtonBody* a = NewtonCreateBody(w.world, shared);
    NewtonBody* b = NewtonCreateBody(w.world, shared);
    NewtonReleaseCollision(w.world, shared);
    w.floor();
    NewtonBodySetMatrix(a, translation(-2, 2, 0).data());
    NewtonBodySetMatrix(b, translation(2, 2, 0).data());
    for (NewtonBody* body : {a, b}) {
        NewtonBodySetMassMatrix(body, 1, 0, 0, 0);
        NewtonBodySetForceAndTorqueCallback(body, gravity);
    }
    w.run(2.0f);
    EXPECT_NEAR(matrixOf(a)[13], 0.5f, 0.02f);
    EXPECT_NEAR(matrixOf(b)[13], 0.5f, 0.02f);


    NewtonCollision* unused = NewtonCreateSphere(w.world, 1, 1, 1, nullptr);
    NewtonReleaseCollision(w.world, unused);  // freed: no body holds it
    testing::internal::CaptureStdout();
    NewtonReleaseCollision(w.world, unused);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n NewtonReleaseCollision(): WARNING! collision unknown or already freed"),
              std::string::npos);
}

}  // namespace
