#pragma once
#include <functional>
#include <memory>

#include "assets/Billboard.h"
#include "game/Action.h"
#include "game/CatchState.h"
#include "game/HunterAI.h"
#include "overlay/OverlayStack.h"
#include "vehicles/CarControl.h"

// The player's car and a pursuer's car: a hunting pursuer that touches the
// player ends the race as lost. The car stops, the player's keys are ignored,
// the loser music plays and the loser picture shows until the level's reset
// aborts the catch. A patrolling or idle pursuer touches the player freely.
// The race time keeps running.
//
// messageStack and loserBoard are the level's; it sets them after
// construction. Without them the catch shows no picture.
class CatchAction : public Action {
public:
    CatchAction(std::shared_ptr<HunterAI> ai, std::shared_ptr<CarControl> carControl,
                std::shared_ptr<CatchState> catchState);

    void enter() override;
    // Level reset: the loser picture goes and the music may start again. The
    // car control comes back with the reset of the signs.
    virtual void abort();

    std::shared_ptr<OverlayStack> messageStack;
    std::shared_ptr<Billboard> loserBoard;
    // Runs as the catch happens, before the loser picture shows: the level
    // ends a sign game in progress there, so that its row is no longer judged.
    std::function<void()> onCatch;

private:
    std::shared_ptr<HunterAI> ai;
    std::shared_ptr<CarControl> carControl;
    std::shared_ptr<CatchState> catchState;
};
