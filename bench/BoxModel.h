#pragma once
#include <fstream>
#include <string>

// An axis-aligned box as a MilkShape ASCII model (one mesh, no material):
// cars for the benchmarks without the asset kit.
inline void writeBoxModel(const std::string& path, float x0, float y0, float z0, float x1, float y1, float z1) {
    std::ofstream out(path);
    out << "Meshes: 1\n\"box\" 0 -1\n8\n";
    for (int i = 0; i < 8; ++i)
        out << "0 " << ((i & 1) ? x1 : x0) << ' ' << ((i & 2) ? y1 : y0) << ' ' << ((i & 4) ? z1 : z0) << " 0 0 -1\n";
    out << "1\n0 1 0\n12\n";
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& f : faces)
        out << "0 " << f[0] << ' ' << f[1] << ' ' << f[2] << " 0 0 0 1\n0 " << f[0] << ' ' << f[2] << ' ' << f[3]
            << " 0 0 0 1\n";
    out << "Materials: 0\n";
}
