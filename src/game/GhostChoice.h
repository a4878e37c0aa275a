#pragma once

// Whether the player wants to see the ghost (the key g); shown at first. The
// choice lasts for the run: a level reset or rebuild keeps it. The settings
// file keeps it between runs (the application reads it in at start and
// writes it back when g changes it).
namespace GhostChoice {

bool shown();
void keep(bool shown);

}  // namespace GhostChoice
