// What the end-to-end games of this folder share: screenshots of the game
// under test, what they look for in them, and the drive to the first sign.
#pragma once
#include <chrono>
#include <string>
#include <thread>

#include "GameProcess.h"

namespace e2e {

// The game's window sits at (100, 100) of the virtual screen and is 800 x 600.
constexpr int WX = 100, WY = 100, WW = 800, WH = 600;

// A screenshot of the whole virtual screen, RGB, row 0 at the top.
struct Picture {
    int w = 0, h = 0;
    unsigned char* pixels = nullptr;
    Picture() = default;
    Picture(Picture&& other) noexcept : w(other.w), h(other.h), pixels(other.pixels) { other.pixels = nullptr; }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture();
    bool load(const std::string& path);
    const unsigned char* at(int x, int y) const { return pixels + (static_cast<size_t>(y) * w + x) * 3; }
};

inline void settle(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// Saves the screen as NAME in the build folder and reads it back (no pixels when either fails).
Picture shot(GameProcess& game, const std::string& name);

// Screenshots until one shows what the test expects, for at most `seconds`:
// a game on a busy machine draws a few frames a second, one on a quiet
// machine has drawn the change by the first shot. The last shot is returned
// either way, and the test's expectations judge it.
template <typename Shows>
Picture shotShowing(GameProcess& game, const std::string& name, Shows shows, double seconds = 15.0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        Picture p = shot(game, name);
        if ((p.pixels && shows(p)) || std::chrono::steady_clock::now() >= end) return p;
        settle(0.2);
    }
}

// Pixels of a screen region that are of a kind.
int countPixels(const Picture& p, int x0, int y0, int x1, int y1, bool (*kind)(const unsigned char*));
// Pixels of a screen region that differ clearly between two shots.
int changedPixels(const Picture& a, const Picture& b, int x0, int y0, int x1, int y1);

// The dark blue-grey ground of the message pictures.
bool messageDark(const unsigned char* c);
// The white of the console text the game paints (frame counter, messages).
bool textWhite(const unsigned char* c);

// The keys of the sign game's row, from its debug line ("" when there is none).
std::string signKeys(const std::string& output);

// From the start of a freshly started game into the sign game of the north
// sign: back over the anti-pursuer item 25 units behind the start (the
// pursuers then lose sight of the car for 20 s), staying inside the start
// area, then north, 225 units to the sign across the road. w is let go some
// 40 units before it and the car rolls on into it: a key still held when the
// game starts could reach it as an X auto-repeat press. The row's keys, or
// "" when no sign game started.
std::string driveIntoTheNorthSign(GameProcess& game);

}  // namespace e2e
