#include "GameSupport.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <cstdlib>

namespace e2e {

Picture::~Picture() { stbi_image_free(pixels); }

bool Picture::load(const std::string& path) {
    int channels = 0;
    pixels = stbi_load(path.c_str(), &w, &h, &channels, 3);
    return pixels != nullptr;
}

Picture shot(GameProcess& game, const std::string& name) {
    Picture p;
    const std::string path = GameProcess::buildDir() + "/" + name;
    if (game.screenshot(path)) p.load(path);
    return p;
}

int countPixels(const Picture& p, int x0, int y0, int x1, int y1, bool (*kind)(const unsigned char*)) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (kind(p.at(x, y))) ++n;
    return n;
}

int changedPixels(const Picture& a, const Picture& b, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char *p = a.at(x, y), *q = b.at(x, y);
            if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 90) ++n;
        }
    return n;
}

bool messageDark(const unsigned char* c) { return c[0] < 70 && c[1] < 70 && c[2] < 100 && c[2] >= c[0]; }

bool textWhite(const unsigned char* c) { return c[0] > 230 && c[1] > 230 && c[2] > 230; }

std::string signKeys(const std::string& output) {
    const std::string mark = "sign game started, keys: ";
    const size_t at = output.rfind(mark);
    if (at == std::string::npos) return "";
    std::string keys;
    for (size_t i = at + mark.size(); i < output.size() && std::string("dwas").find(output[i]) != std::string::npos; ++i)
        keys += output[i];
    return keys;
}

std::string driveIntoTheNorthSign(GameProcess& game) {
    if (!game.waitFor("HAVE FUN! :)", 120.0)) return "";
    settle(5.5);
    if (!game.keyDown("s")) return "";
    settle(4.0);
    if (!game.keyUp("s") || !game.keyDown("w")) return "";
    settle(12.0);
    if (!game.keyUp("w") || !game.waitFor("sign game started", 30.0)) return "";
    return signKeys(game.output());
}

}  // namespace e2e
