#include "game/MinimapChoice.h"

namespace {
bool chosenShown = true;
}  // namespace

bool MinimapChoice::shown() { return chosenShown; }

void MinimapChoice::keep(bool shown) { chosenShown = shown; }
