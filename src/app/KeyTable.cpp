#include "app/KeyTable.h"

#include <sstream>

namespace {
constexpr char ESCAPE = 27;

// The order a new player reads them in: driving and the game first, then the
// debug keys.
const std::vector<KeyRow> table = {
    {"w / s", "accelerate / brake and reverse (lower case only)", "ws", {}, {PlayerAction::DriveUp, PlayerAction::DriveDown}},
    {"a / d", "steer left / right", "ad", {}, {PlayerAction::DriveLeft, PlayerAction::DriveRight}},
    {"w a s d at a sign", "type the arrows shown (up, left, down, right) to take the sign down", "wasd", {},
     {PlayerAction::ArrowUp, PlayerAction::ArrowLeft, PlayerAction::ArrowDown, PlayerAction::ArrowRight}},
    {"left drag", "orbit the camera around the car", "", {}},
    {"right click", "reset the orbit", "", {}},
    {"r", "put the level back to its start", "r", {}, {PlayerAction::Reset}},
    {"p", "pause and resume: everything stands still and falls silent, \"PAUSED\" in the middle", "p", {},
     {PlayerAction::Pause}},
    {"m", "mute or unmute all sound, music and effects", "m", {}, {PlayerAction::Mute}},
    {"7 / 8", "music quieter / louder by 10 %", "78", {}, {PlayerAction::MusicDown, PlayerAction::MusicUp}},
    {"9 / 0", "effects quieter / louder by 10 %", "90", {}, {PlayerAction::EffectsDown, PlayerAction::EffectsUp}},
    {"f", "full screen or window", "f", {}, {PlayerAction::FullScreen}},
    {"n", "show or hide the minimap and the speedometer (the map's legend is under F1)", "n", {}, {PlayerAction::Minimap}},
    {"g", "hide or show the ghost of the best race (the choice is kept)", "g", {}, {PlayerAction::Ghost}},
    {"l", "the next level of the levels folder: it loads in place of this one (the choice is kept)", "l", {},
     {PlayerAction::NextLevel}},
    {"F12", "save the frame as zarvik-YYYYMMDD-HHMMSS.png in ~/.local/share/zarvik/screenshots", "", {12}, {PlayerAction::Screenshot}},
    {"Escape", "quit (also from full-screen game mode)", std::string(1, ESCAPE), {}},
    {"F1", "show or hide this list of keys", "", {1}},
    {"F2", "show or hide the frame rate, with the world's resolution (\"world 0.80 x 1 sample\")", "", {2}},
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

std::string KeyTable::boundInput(const KeyRow& row, const KeyBindings& bindings) {
    // Each action replaces the first word after the last replaced one that
    // names its default key: "a" in "w a s d at a sign" is the second word.
    std::istringstream in(row.input);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    std::size_t next = 0;
    for (const PlayerAction action : row.actions) {
        const std::string name = KeyBindings::keyName(KeyBindings::info(action).defaultKey);
        for (std::size_t i = next; i < words.size(); ++i) {
            if (words[i] != name) continue;
            words[i] = KeyBindings::keyName(bindings.keyOf(action));
            next = i + 1;
            break;
        }
    }
    std::string out;
    for (const std::string& word : words) out += (out.empty() ? "" : " ") + word;
    return out;
}

std::string KeyTable::text(std::size_t inputWidth, std::size_t lineWidth) {
    return text(inputWidth, lineWidth, KeyBindings());
}

std::string KeyTable::text(std::size_t inputWidth, std::size_t lineWidth, const KeyBindings& bindings) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const KeyRow& row : table) rows.emplace_back(boundInput(row, bindings), row.effect);
    return columns(rows, inputWidth, lineWidth);
}

std::string KeyTable::columns(const std::vector<std::pair<std::string, std::string>>& rows, std::size_t inputWidth,
                              std::size_t lineWidth) {
    const std::size_t column = 2 + inputWidth + 2;
    const std::size_t effectWidth = lineWidth > column + 20 ? lineWidth - column : 20;
    std::string out;
    for (const auto& [input, effect] : rows) {
        std::string first = "  " + input;
        // An input wider than its column pushes the effect onto the next line.
        if (first.size() + 2 > column) {
            out += first + "\n";
            first.clear();
        }
        first.resize(column, ' ');
        const auto lines = wrap(effect, effectWidth);
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
