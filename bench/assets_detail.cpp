// What the ground's grain (the detail texture) adds to a frame: the demo
// level's terrain, with its tiles and its detail texture, painted lit from
// the start position (eye 2 units above the ground, looking north and a
// little down, 60 degrees high, as the game's camera) into a hidden 800 x 600
// window with four samples per pixel; each iteration clears, paints the
// terrain and waits for the GL (glFinish). Argument 1: with the grain, 0:
// without. Run with interleaved repetitions, so that a busy machine slows
// both alike:
//
//   ZARVIK_GAME_DIR=build/rel/game build/rel/assets_detail --benchmark_repetitions=6
//       --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "GameWindow.h"
#include "assets/DetailTexture.h"
#include "assets/TerrainNode.h"
#include "assets/Texture.h"
#include "assets/Texture2D.h"

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;

// The level's terrain, loaded once (its progress lines kept off the table).
std::shared_ptr<TerrainNode> levelTerrain() {
    static std::shared_ptr<TerrainNode> terrain;
    if (terrain) return terrain;
    Texture2D starter(false);  // starts DevIL
    std::fflush(stdout);
    const int console = dup(1);
    if (!std::freopen("/dev/null", "w", stdout)) return nullptr;
    terrain = std::make_shared<TerrainNode>("Terrain");
    terrain->setTranslation(0, -5, 0);
    terrain->load("terrain", "heightmap.png", "terrain", 8, Vector(600, 5, 600));
    terrain->setDetailTexture(DetailTexture::createFromFile("terrain/detail.png"));
    std::fflush(stdout);
    dup2(console, 1);
    close(console);
    return terrain;
}

void paint(TerrainNode& terrain, double groundY) {
    glClearColor(0.6f, 0.8f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(WIDTH) / HEIGHT, 0.1, 450.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, groundY + 2, 4, 0, groundY + 1, -6, 0, 1, 0);
    const float light[4] = {0.3f, 1, 0.2f, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    Texture::enable2DTextures();
    terrain.paint();
    Texture::disable2DTextures();
    glDisable(GL_LIGHTING);
    glFinish();
}

void BM_TerrainAtTheStart(benchmark::State& state) {
    if (!openGameWindow("assets_detail")) return state.SkipWithError("needs an X display and the game's data");
    auto terrain = levelTerrain();
    if (!terrain || !terrain->getDetailTexture() || !terrain->getDetailTexture()->isLoaded())
        return state.SkipWithError("no terrain or no detail texture in the game's data");
    const double groundY = terrain->heightAt(0, 0);
    DetailTexture::enabled = state.range(0) == 1;
    for (auto _ : state) paint(*terrain, groundY);
    DetailTexture::enabled = true;
}
BENCHMARK(BM_TerrainAtTheStart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
