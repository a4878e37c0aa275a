#include "game/Difficulty.h"

const Difficulty Difficulty::EASY = {
    "easy", "pursuers at 70 % of their speed and seeing 60 % as far, rows of arrows a third shorter, items working 1.5 times as long",
    0.7, 0.6f, 2.0 / 3.0, 1.5};
const Difficulty Difficulty::NORMAL = {"normal", "the game as it is made", 1.0, 1.0f, 1.0, 1.0};
// The rows stay at the 8 arrows the HUD shows; hard asks for speed and care instead.
const Difficulty Difficulty::HARD = {
    "hard", "pursuers at 110 % of their speed and seeing 120 % as far, items working 0.75 times as long", 1.1, 1.2f,
    1.0, 0.75};

const Difficulty* const Difficulty::ALL[3] = {&EASY, &NORMAL, &HARD};

const Difficulty* Difficulty::named(const std::string& name) {
    for (const Difficulty* difficulty : ALL)
        if (name == difficulty->name) return difficulty;
    return nullptr;
}

std::string Difficulty::names() {
    std::string text;
    for (const Difficulty* difficulty : ALL) text += (text.empty() ? "" : ", ") + std::string(difficulty->name);
    return text;
}
