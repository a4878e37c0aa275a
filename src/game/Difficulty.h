#pragma once
#include <string>

// How hard a race is: one row of factors on the level's own numbers. Normal
// is the game as it stands, every factor 1; the others change only what
// their description says. Chosen at start (--difficulty, the settings
// file) and kept for the whole game.
struct Difficulty {
    const char* name;         // "easy", "normal", "hard"
    const char* description;  // what it changes, in one line for the player
    double pursuerSpeed;      // on the pursuers' top speed
    float viewSphere;         // on the radius of the pursuers' view spheres
    double rowLength;         // on the arrows of a sign game's row (at most the HUD's 8)
    double itemTime;          // on how long a picked item works

    static const Difficulty EASY, NORMAL, HARD;
    static const Difficulty* const ALL[3];  // easier to harder

    // The difficulty of that name; nothing for another word.
    static const Difficulty* named(const std::string& name);
    // "easy, normal, hard", for messages.
    static std::string names();

    bool isNormal() const { return this == &NORMAL; }
};
