// Building the terrain's collision tree: a 256 x 256 height grid (130,050
// triangles) added face by face with 9 floats per triangle, as the terrain's
// body creator hands them over, then the body made from it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "physics/newton.h"

namespace {

constexpr int GRID = 256;
constexpr float EXTENT = 600.0f;

float heightAt(int i, int j) {
    return 5.0f * std::sin(i * 0.05f) * std::cos(j * 0.07f) + 0.5f * std::sin(i * 0.9f + j * 1.3f);
}

// The triangles of the grid, expanded: 9 floats per triangle.
std::vector<float> gridTriangles() {
    std::vector<float> out;
    float step = EXTENT / (GRID - 1);
    auto push = [&out, step](int i, int j) {
        out.push_back(i * step - 0.5f * EXTENT);
        out.push_back(heightAt(i, j));
        out.push_back(j * step - 0.5f * EXTENT);
    };
    for (int i = 0; i + 1 < GRID; ++i) {
        for (int j = 0; j + 1 < GRID; ++j) {
            push(i, j), push(i, j + 1), push(i + 1, j);
            push(i + 1, j), push(i, j + 1), push(i + 1, j + 1);
        }
    }
    return out;
}

void BM_BuildTerrainTree(benchmark::State& state) {
    const std::vector<float> triangles = gridTriangles();
    const int count = int(triangles.size() / 9);
    for (auto _ : state) {
        state.PauseTiming();
        NewtonWorld* world = NewtonCreate(nullptr, nullptr);
        state.ResumeTiming();

        NewtonCollision* tree = NewtonCreateTreeCollision(world, nullptr);
        NewtonTreeCollisionBeginBuild(tree);
        for (int t = 0; t < count; ++t) NewtonTreeCollisionAddFace(tree, 3, &triangles[9 * t], 12, 1);
        NewtonTreeCollisionEndBuild(tree, 0);
        NewtonBody* body = NewtonCreateBody(world, tree);
        NewtonReleaseCollision(world, tree);
        benchmark::DoNotOptimize(body);

        state.PauseTiming();
        NewtonDestroy(world);
        state.ResumeTiming();
    }
    state.counters["triangles"] = count;
}
BENCHMARK(BM_BuildTerrainTree)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
