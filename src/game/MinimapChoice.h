#pragma once

// Whether the player wants the minimap and the speedometer on the HUD (yes
// at first). The choice lasts for the run: a level reset or rebuild keeps
// it. Where it is kept between runs is decided here and nowhere else.
namespace MinimapChoice {

bool shown();
void keep(bool shown);

}  // namespace MinimapChoice
