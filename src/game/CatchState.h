#pragma once

// Whether a pursuer has caught the player in this race: set by the catch,
// cleared again by the level's reset. The level owns it; the catches, the
// sign games (a finished row does not free a caught car) and the autoplay
// share it.
struct CatchState {
    bool caught = false;
};
