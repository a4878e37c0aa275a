#pragma once
#include <memory>
#include <vector>

#include "assets/Billboard.h"
#include "game/CatchState.h"
#include "game/Sign.h"
#include "input/KeyConsumer.h"
#include "overlay/OverlayList.h"
#include "overlay/OverlayStack.h"
#include "vehicles/CarControl.h"

// The key game of one sign: a random row of arrows the player types with
// w, a, s, d. Direction codes: 0 right (d), 1 up (w), 2 left (a), 3 down (s);
// arrow i is item i of the sequence overlay, its billboard turned by
// code x 90 degrees about the view axis. The HUD shows exactly the arrows
// still to type, each in its own slot. A right key hides its arrow; a wrong
// key shows the error picture, plays the error sound and makes the player
// start the same row again. The last right key dismantles the sign (its
// meshes "face" and "backside" go), shows the success picture, gives the car
// control back and unregisters the consumer from the keyboard processor.
//
// The length is kept within 1 and MAX_SEQUENCE_LENGTH (the HUD's slots);
// missing pieces (no overlay, too few arrow slots, no car control, no sign
// model) leave the game playable without them.
class UnmountConsumer : public KeyConsumer {
public:
    static constexpr int MAX_SEQUENCE_LENGTH = 8;
    // Marks an entry of `sequence` that has been typed correctly.
    static constexpr int TYPED_MARK = 10;

    // Draws the row and shows it; the car control is not touched here.
    UnmountConsumer(std::shared_ptr<CarControl> carControl, std::shared_ptr<Sign> sign,
                    std::shared_ptr<OverlayList> sequenceOverlay, int sequenceLength);

    void consumeDown(byte key, int x, int y) override;

    // Shows the arrows still to type (slots below the length and at or after the position).
    void updateSequence();
    void rightKey();
    void wrongKey();
    // Ends the game unfinished: hides every arrow and unregisters.
    void abort();

    // From construction until the row is complete or aborted.
    bool isRunning() const { return running; }
    int getSequenceLength() const { return sequenceLength; }
    int getSequencePosition() const { return sequencePosition; }
    const std::vector<int>& getSequence() const { return sequence; }
    // The direction code of a key, or -1 for any key but w, a, s, d.
    static int directionOf(byte key);

    std::shared_ptr<Billboard> signFinishedBoard;
    std::shared_ptr<Billboard> unmountErrorBoard;
    std::shared_ptr<OverlayStack> messageStack;
    std::shared_ptr<OverlayList> sequenceOverlay;
    // The level's: a row finished while the car is caught leaves it stopped.
    std::shared_ptr<const CatchState> catchState;

private:
    void drawSequence();
    void finish();
    void hideArrows();
    void removeBoards();
    void pushBoard(const std::shared_ptr<Billboard>& board);

    int sequenceLength;
    int sequencePosition = 0;
    std::vector<int> sequence;
    std::shared_ptr<CarControl> carControl;
    std::shared_ptr<Sign> sign;
    bool running = true;
};
