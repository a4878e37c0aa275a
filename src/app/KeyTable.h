#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "input/KeyBindings.h"

// One input the game answers: what the player presses and what it does.
struct KeyRow {
    std::string input;             // as the player reads it: "w / s", "F4 / F5", "left drag"
    std::string effect;
    std::string keys;              // the GLUT key characters the row stands for
    std::vector<int> specialKeys;  // the GLUT special keys (F1 to F12 are 1 to 12)
    std::vector<PlayerAction> actions = {};  // the row's keys that can be bound, in the order input names them
};

// Every key and mouse input of the game in one table. The F1 help, the
// --help text and the key table of README.md are all made from it, so that
// none of them can leave a key out or describe it differently.
namespace KeyTable {

const std::vector<KeyRow>& rows();

// The rows as plain text, a row a line: two spaces, the input in a column
// inputWidth wide, two spaces, the effect; an effect that would pass
// lineWidth characters goes on in the effect's column on the next lines.
std::string text(std::size_t inputWidth, std::size_t lineWidth);
// Any two-column rows in the same layout (the options of --help).
std::string columns(const std::vector<std::pair<std::string, std::string>>& rows, std::size_t inputWidth,
                    std::size_t lineWidth);
// The same with the keys bound to each row's actions in its input ("i / k"
// for "w / s" when drive up and down are bound to i and k).
std::string text(std::size_t inputWidth, std::size_t lineWidth, const KeyBindings& bindings);
// A row's input with its actions' keys as bound.
std::string boundInput(const KeyRow& row, const KeyBindings& bindings);

// The rows as README.md's Markdown table, header included.
std::string markdown();

}  // namespace KeyTable
