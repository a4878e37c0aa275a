#include "physics/CollisionTreeBuilder.h"

#include <algorithm>
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
            // A segment that gave its arrays to a display list gets them back for this.
            segment->withArrays([&] {
                const float* corners = segment->getCornerPositions().get();
                if (!corners) return;
                // The tree welds the corners that its faces share.
                for (int t = 0; t < segment->getTriangleCount(); ++t) {
                    float face[9];
                    for (int m = 0; m < 3; ++m)
                        std::copy_n(corners + 3 * static_cast<std::size_t>(segment->cornerOf(t, m)), 3, face + 3 * m);
                    NewtonTreeCollisionAddFace(tree, 3, face, 3 * sizeof(float), 1);
                }
            });
        }
    }
    std::printf("\n   optimizing...");
    NewtonTreeCollisionEndBuild(tree, optimize ? 1 : 0);
    makeBody(tree);
}
