#pragma once
#include <memory>

#include "assets/Billboard.h"
#include "game/Action.h"
#include "game/Sign.h"
#include "game/UnmountConsumer.h"
#include "overlay/OverlayList.h"
#include "overlay/OverlayStack.h"
#include "vehicles/CarControl.h"

// What happens when the player's car drives into a sign: an intact sign stops
// the car, takes the steering from the player's car control (the first key
// consumer that claims w) and starts an UnmountConsumer; a dismantled sign
// only shows the "already gone" picture with the error sound. Leaving the
// sign's sphere removes the sign game's pictures but lets a running game go on.
//
// The boards, messageStack and sequenceOverlay are the level's; it sets them
// after construction. Any of them may be missing: that part is then skipped.
class UnmountAction : public Action {
public:
    // Scales the length of a new row: the integer part of factor x 8 keys.
    // Tool items halve it while they last.
    static float SEQUENCE_LENGTH_FACTOR;

    explicit UnmountAction(std::shared_ptr<Sign> sign);

    void enter() override;
    void leave() override;
    // Level reset: ends a running game, removes the pictures, gives the
    // steering back and hides the arrow row. The sign itself is the level's.
    void abort();
    // A catch ends a game in progress unfinished: the arrows go, the sign
    // keeps its plate and the steering stays with the catch until the reset.
    // Nothing happens when this sign has no game running.
    void endByCatch();

    // The number of keys of a row started now (before the consumer keeps it
    // within 1..8): the integer part of SEQUENCE_LENGTH_FACTOR x rowFactor x 8.
    int sequenceLength() const;
    double rowFactor = 1.0;  // the difficulty's share of a row

    std::shared_ptr<UnmountConsumer> getConsumer() const { return consumer; }
    std::shared_ptr<Sign> getSign() const { return sign; }

    std::shared_ptr<Billboard> gotSignBoard;
    std::shared_ptr<Billboard> signFinishedBoard;
    std::shared_ptr<Billboard> unmountErrorBoard;
    std::shared_ptr<OverlayStack> messageStack;
    // The level's, handed to each game: a caught car stays stopped.
    std::shared_ptr<const CatchState> catchState;
    std::shared_ptr<OverlayList> sequenceOverlay;

private:
    static std::shared_ptr<CarControl> findCarControl();
    void startGame();
    void printKeys() const;

    std::shared_ptr<UnmountConsumer> consumer;
    std::shared_ptr<Sign> sign;
    std::shared_ptr<CarControl> carControl;
};
