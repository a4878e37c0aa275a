#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "assets/Billboard.h"
#include "game/Action.h"
#include "game/HunterAI.h"
#include "game/SignStates.h"
#include "overlay/OverlayStack.h"
#include "overlay/StopWatch.h"

// The race rule of the start/finish area. Driving out of it starts the race
// (the stopwatch runs on from its value, the background music plays, the
// pursuers may see the player); driving back in judges it: with every sign
// dismantled the race is won (the watch stops on the result, the winner
// picture and music, a cheer, the pursuers go blind and back to patrolling),
// otherwise the player hears the error sound, sees the "unfinished" picture
// and races on.
//
// messageStack is the level's; it sets it after construction. Without it the
// pictures are skipped.
class TimerRegionAction : public Action {
public:
    // The pursuer list is copied: pursuers placed later are not called on a win.
    TimerRegionAction(std::shared_ptr<SignStates> signStates, std::shared_ptr<StopWatch> stopWatch,
                      std::vector<std::shared_ptr<HunterAI>> hunters);

    void enter() override;
    void leave() override;

    // The two message pictures, screen pictures switched off; the level puts them under the root.
    void initBillboards();

    std::shared_ptr<Billboard> getWinnerBoard() const { return winnerBoard; }
    std::shared_ptr<Billboard> getUnfinishedBoard() const { return unfinishedBoard; }

    std::shared_ptr<OverlayStack> messageStack;
    // Called on a win with the race time in seconds (the level keeps records).
    std::function<void(double)> onWin;

private:
    void win();
    void showUnfinished();

    std::vector<std::shared_ptr<HunterAI>> hunters;
    std::shared_ptr<Billboard> winnerBoard;
    std::shared_ptr<Billboard> unfinishedBoard;
    std::shared_ptr<SignStates> signStates;
    std::shared_ptr<StopWatch> stopWatch;
};
