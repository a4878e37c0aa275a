#include "CarModels.h"

#include <cstdlib>
#include <fstream>
#include <vector>

namespace CarModels {

void writeBox(const std::string& path, float x0, float y0, float z0, float x1, float y1, float z1) {
    std::ofstream out(path);
    out << "// MilkShape 3D ASCII\n\nFrames: 1\nFrame: 1\n\nMeshes: 1\n\"box\" 0 -1\n8\n";
    for (int i = 0; i < 8; ++i) {
        const float x = (i & 1) ? x1 : x0, y = (i & 2) ? y1 : y0, z = (i & 4) ? z1 : z0;
        out << "0 " << x << ' ' << y << ' ' << z << " 0 0 -1\n";
    }
    out << "1\n0 1 0\n";
    // Two triangles per face; corners indexed by the bits x=1, y=2, z=4.
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    out << "12\n";
    for (const auto& f : faces) {
        out << "0 " << f[0] << ' ' << f[1] << ' ' << f[2] << " 0 0 0 1\n";
        out << "0 " << f[0] << ' ' << f[2] << ' ' << f[3] << " 0 0 0 1\n";
    }
    out << "\nMaterials: 0\n\nBones: 0\nGroupComments: 0\nMaterialComments: 0\nBoneComments: 0\nModelComment: 0\n";
}

}  // namespace CarModels
