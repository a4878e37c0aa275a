#include "game/GhostChoice.h"

namespace {
bool chosenShown = true;
}  // namespace

bool GhostChoice::shown() { return chosenShown; }

void GhostChoice::keep(bool shown) { chosenShown = shown; }
