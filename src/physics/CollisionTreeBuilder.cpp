#include "physics/CollisionTreeBuilder.h"

#include <cstdio>

#include "assets/TerrainNode.h"
#include "physics/Physics.h"

void CollisionTreeBuilder::createRigidBody() {
    std::printf("\n CollisionTreeBuilder::createRigidBody(): building terrain collision.\n   ");
    NewtonCollision* tree = NewtonCreateTreeCollision(Physics::newtonWorld, nullptr);
    NewtonTreeCollisionBeginBuild(tree);
    if (terrain) {
        for (const auto& segment : terrain->getSegments()) {
            std::printf("*");
            const float* vertices = segment->getTriangleVertices().get();
            if (!vertices) continue;
            for (int t = 0; t < segment->getTriangleCount(); ++t) {
                NewtonTreeCollisionAddFace(tree, 3, vertices + 9 * t, 3 * sizeof(float), 1);
            }
        }
    }
    std::printf("\n   optimizing...");
    NewtonTreeCollisionEndBuild(tree, optimize ? 1 : 0);
    makeBody(tree);
}
