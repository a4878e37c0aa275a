// How little memory could the game's picture take? Peak resident memory, as
// the game's benchmark reports it, of a program that does only what the
// game's first frame cannot do without, step by step:
//   1. the process with the game's libraries loaded;
//   2. the game's window (800 x 600, four samples a pixel) cleared and shown;
//   3. the sound system started with the game's music;
//   4. the level's 16-bit pictures loaded as the game loads them (64 terrain
//      tiles and the sky, read ahead, with their mipmaps), each drawn once so
//      the driver holds them as it does in a frame.
// Nothing else of the level is loaded: no models, no physics, no HUD.
//
//     memory_floor        (in the game's data folder: $ZARVIK_GAME_DIR, else build/game)

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "GameWindow.h"
#include "app/Benchmark.h"
#include "assets/TerrainNode.h"
#include "assets/Texture2D.h"
#include "audio/AudioManager.h"

namespace {

void report(const char* step) {
    std::printf("memory_floor: %-52s peak %6.1f MB\n", step, Benchmark::peakResidentKb() / 1024.0);
}

// A window-filling quad with the texture, so that the driver lays it out for
// sampling as it does in a frame.
void drawOnce(const Texture2D& texture) {
    glBindTexture(GL_TEXTURE_2D, texture.getTextureName());
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, -1);
    glTexCoord2f(1, 0), glVertex2f(1, -1);
    glTexCoord2f(1, 1), glVertex2f(1, 1);
    glTexCoord2f(0, 1), glVertex2f(-1, 1);
    glEnd();
}

}  // namespace

int main() {
    report("libraries loaded");
    if (!openGameWindow("memory floor")) {
        std::fprintf(stderr, "memory_floor: needs an X display, GLEW and the game's data folder\n");
        return 1;
    }
    glutShowWindow();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    glFinish();
    report("window shown, four samples a pixel");

    AudioManager::init();
    AudioManager::update();
    report("sound started");

    Texture2D::sixteenBitPaths = {"terrain/", "models/sky.jpg"};
    std::vector<std::string> paths = TerrainNode::tilePaths("terrain", "terrain", 8);
    paths.push_back("models/sky.jpg");
    Texture2D::readAhead(paths);
    glEnable(GL_TEXTURE_2D);
    std::vector<std::shared_ptr<Texture2D>> pictures;
    for (const std::string& path : paths) {
        pictures.push_back(Texture2D::createFromFile(path, GL_REPEAT));
        drawOnce(*pictures.back());
    }
    glutSwapBuffers();
    glFinish();
    report("64 terrain tiles and the sky, 16 bits a texel, drawn");
    AudioManager::kill();
    return 0;
}
