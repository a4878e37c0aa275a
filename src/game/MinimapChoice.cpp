#include "game/MinimapChoice.h"

namespace {
bool minimapShown = true;
}  // namespace

bool MinimapChoice::shown() { return minimapShown; }

void MinimapChoice::keep(bool shown) { minimapShown = shown; }
