// What the minimap and the speedometer add to a frame: the HUD pass of a
// scene root, with and without the two, in a hidden 800 x 600 window with
// four samples per pixel, as the game's. The map carries the markers of the
// demo level at its start (the start area, four signs, fourteen items, three
// pursuers near the car, one hunting, the car) and is given them again every
// frame, as the level's feed does. Each iteration clears the window as a
// frame begins, covers it with one quad as the world does (a window that was
// only cleared is a cheap special case for the GL), paints the root and waits
// for the GL (glFinish); the difference from the root without them is their
// cost per frame. The counter cpu_us is the whole process's processor time
// per frame, the GL's drawing threads included: on a machine that other work
// shares it varies less than the wall time.
//
// Needs an X display and the game's data (ZARVIK_GAME_DIR, else build/game):
//
//   ZARVIK_GAME_DIR=build/rel/game build/rel/overlay_minimap --benchmark_repetitions=5
//       --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "GameWindow.h"
#include "assets/Texture2D.h"
#include "overlay/Minimap.h"
#include "overlay/Speedometer.h"
#include "scenegraph/RootNode.h"

namespace {

double processMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) * 1e-3;
}

// The world under the HUD: one opaque quad over the whole window.
void paintWorld() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.3f, 0.45f, 0.25f);
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
}

std::vector<Minimap::Marker> levelMarkers() {
    std::vector<Minimap::Marker> markers;
    auto add = [&](Minimap::Kind kind, float x, float z) {
        Minimap::Marker marker;
        marker.kind = kind;
        marker.x = x;
        marker.z = z;
        marker.radius = 30.0f;
        markers.push_back(marker);
    };
    add(Minimap::START_AREA, 0, 0);
    for (auto [x, z] : {std::pair{200.0f, 0.0f}, {-200.0f, 0.0f}, {0.0f, 200.0f}, {0.0f, -200.0f}})
        add(Minimap::SIGN, x, z);
    const float items[14][2] = {{195, 0},   {-150, -150}, {30, 0},    {25, 0},    {150, -150}, {-25, -10}, {150, 150},
                                {195, 0},   {-195, 0},    {0, 25},    {0, -195},  {-150, 150}, {100, -100}, {-100, -100}};
    for (const auto& item : items) add(Minimap::ITEM, item[0], item[1]);
    for (auto [x, z] : {std::pair{100.0f, 0.0f}, {0.0f, 100.0f}, {-100.0f, 0.0f}}) add(Minimap::PURSUER, x, z);
    add(Minimap::PURSUER_HUNTING, -150, 150);
    add(Minimap::CAR, 0, 0);
    return markers;
}

void BM_HudPass(benchmark::State& state) {
    if (!openGameWindow("overlay_minimap")) return state.SkipWithError("needs an X display and the game's data");
    // 0: neither, 1: both, 2: the minimap alone, 3: the speedometer alone.
    const bool withMap = state.range(0) == 1 || state.range(0) == 2;
    const bool withSpeedometer = state.range(0) == 1 || state.range(0) == 3;
    auto root = std::make_shared<RootNode>("root");
    auto ground = Texture2D::createFromFile("terrain/minimap.jpg", GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR,
                                            GL_MODULATE, false);  // as the demo level loads it
    auto minimap = std::make_shared<Minimap>(ground, 600);
    auto speedometer = std::make_shared<Speedometer>();
    if (withMap) root->addChild(minimap);
    if (withSpeedometer) root->addChild(speedometer);
    const std::vector<Minimap::Marker> markers = levelMarkers();
    const double start = processMicroseconds();
    for (auto _ : state) {
        minimap->setMarkers(markers);
        speedometer->show(12.3, 15.0, false);
        ScenegraphNode::beginFrame();  // the clear every frame begins with
        paintWorld();
        root->paint();
        glFinish();
    }
    state.counters["cpu_us"] = (processMicroseconds() - start) / static_cast<double>(state.iterations());
    const char* labels[] = {"nothing", "minimap and speedometer", "minimap", "speedometer"};
    state.SetLabel(labels[state.range(0)]);
}
// Timed by the wall clock: the GL draws in threads of its own, so the
// calling thread's processor time would say little and, as the measure of
// how many iterations to run, make the run last minutes.
BENCHMARK(BM_HudPass)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();

}  // namespace
