// Reading a MilkShape ASCII model of 50,000 triangles, from the first line to
// the finished expanded triangle arrays (no textures, no OpenGL).
#include <cmath>
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "assets/MilkshapeReader.h"

namespace {

// Ten meshes, each a wavy 50 x 50 quad grid (5,000 triangles) with one normal
// per vertex, written the way the modelling tool exports: "%f" numbers, a
// material per mesh, bones after the materials.
std::string generateModel() {
    const int meshes = 10, quads = 50, side = quads + 1;
    std::string text = "// MilkShape 3D ASCII\n\nFrames: 30\nFrame: 1\n\nMeshes: 10\n";
    char line[256];
    for (int m = 0; m < meshes; ++m) {
        std::snprintf(line, sizeof line, "\"mesh%d\" 0 %d\n%d\n", m, m, side * side);
        text += line;
        for (int r = 0; r < side; ++r)
            for (int c = 0; c < side; ++c) {
                double x = c * 0.37 - 9.25, z = r * 0.37 - 9.25, y = std::sin(x + m) * std::cos(z) * 2.0;
                std::snprintf(line, sizeof line, "0 %f %f %f %f %f -1\n", x, y, z, c / double(quads), r / double(quads));
                text += line;
            }
        std::snprintf(line, sizeof line, "%d\n", side * side);
        text += line;
        for (int i = 0; i < side * side; ++i) {
            double a = i * 0.01;
            std::snprintf(line, sizeof line, "%f %f %f\n", std::sin(a) * 0.6, 0.8, std::cos(a) * 0.6);
            text += line;
        }
        std::snprintf(line, sizeof line, "%d\n", 2 * quads * quads);
        text += line;
        for (int r = 0; r < quads; ++r)
            for (int c = 0; c < quads; ++c) {
                int a = r * side + c, b = a + side + 1, cc = a + 1, d = a + side;
                std::snprintf(line, sizeof line, "0 %d %d %d %d %d %d 1\n0 %d %d %d %d %d %d 1\n", a, b, cc, a, b, cc,
                              a, d, b, a, d, b);
                text += line;
            }
    }
    text += "\nMaterials: 10\n";
    for (int m = 0; m < meshes; ++m) {
        std::snprintf(line, sizeof line,
                      "\"material%d\"\n0.2 0.2 0.2 1.0\n0.8 0.8 0.8 1.0\n0.0 0.0 0.0 1.0\n0.0 0.0 0.0 1.0\n"
                      "0.000000\n1.000000\n\"tex%d.png\"\n\"\"\n",
                      m, m);
        text += line;
    }
    text += "\nBones: 0\nGroupComments: 0\nMaterialComments: 0\nBoneComments: 0\nModelComment: 0\n";
    return text;
}

const std::string& model() {
    static const std::string text = generateModel();
    return text;
}

void BM_ParseMilkshape50kTriangles(benchmark::State& state) {
    const std::string& text = model();
    MilkshapeReader reader;
    MilkshapeReader::Model parsed;
    for (auto _ : state) {
        if (!reader.parse(text, parsed)) state.SkipWithError(reader.error().c_str());
        benchmark::DoNotOptimize(parsed.meshes.data());
    }
    state.counters["triangles"] = parsed.triangleCount();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseMilkshape50kTriangles)->Unit(benchmark::kMillisecond);

// The same including reading the file from disk, as MilkshapeNode::load does.
void BM_ReadAndParseMilkshapeFile(benchmark::State& state) {
    std::string path = "assets_milkshape_bench.txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(model().data(), 1, model().size(), file);
    std::fclose(file);
    MilkshapeReader reader;
    MilkshapeReader::Model parsed;
    std::string text;
    for (auto _ : state) {
        if (!MilkshapeReader::readFile(path, text) || !reader.parse(text, parsed)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(parsed.meshes.data());
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(model().size()));
}
BENCHMARK(BM_ReadAndParseMilkshapeFile)->Unit(benchmark::kMillisecond);

}  // namespace
