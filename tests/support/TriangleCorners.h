#pragma once
#include <algorithm>
#include <vector>

#include "assets/MeshNode.h"

// A mesh's triangles with three corners each, in draw order: 9 floats of
// positions, 9 of normals and 6 of texture coordinates per triangle. Read
// with the mesh's arrays present (a segment whose display list holds the
// geometry gets them back for the read and gives them up again).
struct TriangleCorners {
    std::vector<float> positions, normals, texCoords;

    explicit TriangleCorners(MeshNode& mesh) {
        mesh.withArrays([&] {
            if (!mesh.hasArrays()) return;
            for (int t = 0; t < mesh.getTriangleCount(); ++t)
                for (int m = 0; m < 3; ++m) {
                    const std::size_t k = static_cast<std::size_t>(mesh.cornerOf(t, m));
                    positions.insert(positions.end(), &mesh.getCornerPositions()[3 * k], &mesh.getCornerPositions()[3 * k] + 3);
                    normals.insert(normals.end(), &mesh.getCornerNormals()[3 * k], &mesh.getCornerNormals()[3 * k] + 3);
                    texCoords.insert(texCoords.end(), &mesh.getCornerTexCoords()[2 * k], &mesh.getCornerTexCoords()[2 * k] + 2);
                }
        });
    }
};
