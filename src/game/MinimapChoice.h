#pragma once

// Whether the player wants the minimap and the speedometer on the HUD (yes
// at first). The choice lasts for the run: a level reset or rebuild keeps
// it. The settings file keeps it between runs (the application reads it in
// at start and writes it back when n changes it).
namespace MinimapChoice {

bool shown();
void keep(bool shown);

}  // namespace MinimapChoice
