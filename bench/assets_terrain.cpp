// Building the 256 x 256 heightmap terrain with 8 x 8 segments: heightmap,
// vertex grid, face and vertex normals, 64 segment meshes and their display
// lists (the 64 tiles are tiny pictures, so their loading costs little).
// Then the demo level's real ground with its tiles and coloured instead.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <IL/il.h>
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>

#include "assets/TerrainNode.h"
#include "physics/Physics.h"

namespace {

bool openWindow() {
    static int window = 0;
    if (window != 0) return true;
    if (std::getenv("DISPLAY") == nullptr) return false;
    int argc = 1;
    char name[] = "assets_terrain";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    window = glutCreateWindow("terrain benchmark");
    glutDisplayFunc([] {});
    glutHideWindow();
    return glewInit() == GLEW_OK;
}

void save(const std::string& path, int w, int h, int channels, std::vector<unsigned char>& data) {
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(w, h, 1, static_cast<ILubyte>(channels), channels == 1 ? IL_LUMINANCE : IL_RGB, IL_UNSIGNED_BYTE,
               data.data());
    ilEnable(IL_FILE_OVERWRITE);
    ilSaveImage(path.c_str());
    ilDeleteImages(1, &image);
}

// Rolling hills and 64 one-colour tiles in ./assets_terrain_bench.
void writeAssets(const std::string& dir) {
    mkdir(dir.c_str(), 0755);
    std::vector<unsigned char> heights(256 * 256);
    for (int r = 0; r < 256; ++r)
        for (int c = 0; c < 256; ++c)
            heights[r * 256 + c] = static_cast<unsigned char>(127 + 60 * std::sin(c * 0.05) + 60 * std::cos(r * 0.07));
    save(dir + "/heightmap.png", 256, 256, 1, heights);
    for (int a = 0; a < 8; ++a)
        for (int b = 0; b < 8; ++b) {
            std::vector<unsigned char> tile(4 * 4 * 3, static_cast<unsigned char>(20 * a + b));
            save(dir + "/terrain_" + std::to_string(a) + "_" + std::to_string(b) + ".jpg", 4, 4, 3, tile);
        }
}

void BM_BuildTerrain256With8x8Segments(benchmark::State& state) {
    if (!openWindow()) {
        state.SkipWithError("no X display");
        return;
    }
    Texture2D starter(false);  // starts DevIL
    const std::string dir = "assets_terrain_bench";
    writeAssets(dir);
    // The load reports its progress on the console; keep it out of the table.
    std::fflush(stdout);
    int console = dup(1);
    FILE* devNull = std::freopen("/dev/null", "w", stdout);
    (void)devNull;
    for (auto _ : state) {
        auto terrain = std::make_shared<TerrainNode>("terrain");
        terrain->load(dir.c_str(), "heightmap.png", "terrain", 8, Vector(600, 5, 600));
        glFinish();
        state.PauseTiming();
        if (terrain->getSegments().size() != 64) state.SkipWithError("terrain not built");
        terrain.reset();
        Texture2D::clearTextures();
        Physics::reset();  // a fresh world for every build, as the level has
        state.ResumeTiming();
    }
    std::fflush(stdout);
    dup2(console, 1);
    close(console);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_BuildTerrain256With8x8Segments)->Unit(benchmark::kMillisecond);

// The demo level's own ground from the asset kit's data (ZARVIK_GAME_DIR, else
// ./game): its 64 JPEG tiles of 512 x 512 against the same heightmap coloured
// by height and slope. Skipped without the data.
std::string gameTerrainFolder() {
    const char* game = std::getenv("ZARVIK_GAME_DIR");
    const std::string dir = std::string(game ? game : "game") + "/terrain";
    return std::filesystem::exists(dir + "/heightmap.png") ? dir : std::string();
}

enum class Ground { TILES_READ_AHEAD, TILES_READ_NOW, COLOURED };

void loadDemoGround(benchmark::State& state, Ground ground) {
    const std::string dir = gameTerrainFolder();
    if (dir.empty() || !openWindow()) {
        state.SkipWithError("no game data or no X display");
        return;
    }
    Texture2D starter(false);
    // The tiles in 16 bits a texel, as the demo level stores them.
    Texture2D::sixteenBitPaths = {dir + "/"};
    Texture2D::sixteenBits = true;
    std::fflush(stdout);
    int console = dup(1);
    FILE* devNull = std::freopen("/dev/null", "w", stdout);
    (void)devNull;
    const std::vector<std::string> tiles = TerrainNode::tilePaths(dir.c_str(), "terrain", 8);
    for (auto _ : state) {
        if (ground == Ground::TILES_READ_AHEAD) {
            // The game asks for the tiles while its window opens: they are
            // decoded when the terrain is built, which then only uploads them.
            state.PauseTiming();
            Texture2D::readAhead(tiles);
            Texture2D::finishReadingAhead();
            state.ResumeTiming();
        }
        auto terrain = std::make_shared<TerrainNode>("terrain");
        if (ground == Ground::COLOURED)
            terrain->loadColoured(dir + "/heightmap.png", 8, Vector(600, 5, 600));
        else
            terrain->load(dir.c_str(), "heightmap.png", "terrain", 8, Vector(600, 5, 600));
        glFinish();
        state.PauseTiming();
        if (terrain->getSegments().size() != 64) state.SkipWithError("terrain not built");
        terrain.reset();
        Texture2D::forgetReadAhead();
        Texture2D::clearTextures();
        Physics::reset();
        state.ResumeTiming();
    }
    std::fflush(stdout);
    dup2(console, 1);
    close(console);
    Texture2D::sixteenBitPaths.clear();
}

void BM_DemoGroundTilesReadAhead(benchmark::State& state) { loadDemoGround(state, Ground::TILES_READ_AHEAD); }
void BM_DemoGroundTilesReadNow(benchmark::State& state) { loadDemoGround(state, Ground::TILES_READ_NOW); }
void BM_DemoGroundColoured(benchmark::State& state) { loadDemoGround(state, Ground::COLOURED); }
BENCHMARK(BM_DemoGroundTilesReadAhead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DemoGroundTilesReadNow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DemoGroundColoured)->Unit(benchmark::kMillisecond)->UseRealTime();

// The minimap's picture: the asset kit's JPEG against the one coloured from the ground.
void BM_DemoMinimapPicture(benchmark::State& state) {
    const std::string dir = gameTerrainFolder();
    if (dir.empty() || !openWindow()) {
        state.SkipWithError("no game data or no X display");
        return;
    }
    Texture2D starter(false);
    std::fflush(stdout);
    int console = dup(1);
    FILE* devNull = std::freopen("/dev/null", "w", stdout);
    (void)devNull;
    auto terrain = std::make_shared<TerrainNode>("terrain");
    terrain->loadColoured(dir + "/heightmap.png", 8, Vector(600, 5, 600));
    for (auto _ : state) {
        std::shared_ptr<Texture2D> map =
            state.range(0) == 0 ? Texture2D::createFromFile(dir + "/minimap.jpg", GL_CLAMP_TO_EDGE, GL_LINEAR,
                                                            GL_LINEAR, GL_MODULATE, false)
                                : terrain->colouredMap();
        glFinish();
        state.PauseTiming();
        map.reset();
        Texture2D::clearTextures();
        state.ResumeTiming();
    }
    terrain.reset();
    Texture2D::clearTextures();
    Physics::reset();
    std::fflush(stdout);
    dup2(console, 1);
    close(console);
}
BENCHMARK(BM_DemoMinimapPicture)->Arg(0)->Arg(1)->ArgName("coloured")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
