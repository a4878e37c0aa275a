#include "game/GhostChoice.h"

namespace {
bool ghostShown = true;
}  // namespace

bool GhostChoice::shown() { return ghostShown; }

void GhostChoice::keep(bool shown) { ghostShown = shown; }
