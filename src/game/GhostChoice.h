#pragma once
#include <string>

// Whether the player wants to see the ghost (the key g), kept between games
// in a one-line file beside the records: "ghost shown" or "ghost hidden".
// Shown until the player hides it; a missing or unreadable file means shown.
// These two functions are all the game asks of where the choice is kept.
namespace GhostChoice {

bool shown();
void keep(bool shown);

// The file they use: "ghost-choice" in BestTimes::dataFolder() (empty without one).
std::string path();

}  // namespace GhostChoice
