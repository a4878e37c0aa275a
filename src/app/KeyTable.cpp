#include "app/KeyTable.h"

#include <sstream>

namespace {
constexpr char ESCAPE = 27;

// The order a new player reads them in: driving and the game first, then the
// debug keys.
const std::vector<KeyRow> table = {
    {"w / s", "accelerate / brake and reverse (lower case only)", "ws", {}},
    {"a / d", "steer left / right", "ad", {}},
    {"w a s d at a sign", "type the arrows shown (up, left, down, right) to take the sign down", "wasd", {}},
    {"left drag", "orbit the camera around the car", "", {}},
    {"right click", "reset the orbit", "", {}},
    {"r", "put the level back to its start", "r", {}},
    {"p", "pause and resume: everything stands still and falls silent, \"PAUSED\" in the middle", "p", {}},
    {"m", "mute or unmute all sound, music and effects", "m", {}},
    {"g", "hide or show the ghost of the best race (the choice is kept)", "g", {}},
    {"F12", "save the frame as zarvik-YYYYMMDD-HHMMSS.png in the game's folder", "", {12}},
    {"Escape", "quit (also from full-screen game mode)", std::string(1, ESCAPE), {}},
    {"F1", "show or hide this list of keys", "", {1}},
    {"F2", "show or hide the frame rate", "", {2}},
    {"F3", "wireframe on or off", "", {3}},
    {"F4 / F5", "linear or nearest texture filtering / mipmapping on or off", "", {4, 5}},
    {"F6", "next draw mode: immediate, vertex arrays, vertex buffers, debug", "", {6}},
    {"F7 / F8 / F9 / F10", "display lists / occlusion culling / alpha blending / textures on or off", "",
     {7, 8, 9, 10}},
    {"F11", "draw everything in full, or save work where it does not show", "", {11}},
    {"1 / 2", "show trigger spheres / occlusion boxes", "12", {}},
    {"3", "occlusion boxes per mesh as well", "3", {}},
    {"4", "show the physics shapes as blue lines", "4", {}},
    {"5", "draw the coordinate axes", "5", {}},
    {"6", "print the whole scene graph to the console", "6", {}},
};

// Breaks text into lines of at most width characters at spaces (a single
// longer word gets a line of its own).
std::vector<std::string> wrap(const std::string& text, std::size_t width) {
    std::vector<std::string> lines(1);
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        std::string& line = lines.back();
        if (line.empty()) line = word;
        else if (line.size() + 1 + word.size() <= width) line += " " + word;
        else lines.push_back(word);
    }
    return lines;
}
}  // namespace

const std::vector<KeyRow>& KeyTable::rows() { return table; }

std::string KeyTable::text(std::size_t inputWidth, std::size_t lineWidth) {
    const std::size_t column = 2 + inputWidth + 2;
    const std::size_t effectWidth = lineWidth > column + 20 ? lineWidth - column : 20;
    std::string out;
    for (const KeyRow& row : table) {
        std::string first = "  " + row.input;
        // An input wider than its column pushes the effect onto the next line.
        if (first.size() + 2 > column) {
            out += first + "\n";
            first.clear();
        }
        first.resize(column, ' ');
        const auto lines = wrap(row.effect, effectWidth);
        for (std::size_t i = 0; i < lines.size(); ++i)
            out += (i == 0 ? first : std::string(column, ' ')) + lines[i] + "\n";
    }
    return out;
}

std::string KeyTable::markdown() {
    std::string out = "| Input | Effect |\n|---|---|\n";
    for (const KeyRow& row : table) out += "| " + row.input + " | " + row.effect + " |\n";
    return out;
}
