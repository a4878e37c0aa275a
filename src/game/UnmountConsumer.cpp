#include "game/UnmountConsumer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/AudioManager.h"
#include "input/KeyboardProcessor.h"
#include "math/Utilities.h"

UnmountConsumer::UnmountConsumer(std::shared_ptr<CarControl> control, std::shared_ptr<Sign> theSign,
                                 std::shared_ptr<OverlayList> overlay, int length)
    : sequenceOverlay(std::move(overlay)),
      sequenceLength(std::clamp(length, 1, MAX_SEQUENCE_LENGTH)),
      carControl(std::move(control)),
      sign(std::move(theSign)) {
    keys = {'w', 'a', 's', 'd'};
    drawSequence();
    updateSequence();
    if (sequenceOverlay) sequenceOverlay->visible = true;
}

// The generator is seeded once at start-up; a fresh seed here would give two
// signs entered within the same second the same row.
void UnmountConsumer::drawSequence() {
    for (int i = 0; i < sequenceLength; ++i) {
        // random() lies in [0, 1], so the code lies in 0..3.
        const int code = static_cast<int>(std::floor(Utilities<float>::random() * 3.99));
        sequence.push_back(code);
        if (sequenceOverlay && i < static_cast<int>(sequenceOverlay->items.size()))
            sequenceOverlay->items[i]->getBillboard()->setRotations(0, 0, static_cast<float>(code * 90));
    }
}

int UnmountConsumer::directionOf(byte key) {
    switch (key) {
        case 'd': return 0;
        case 'w': return 1;
        case 'a': return 2;
        case 's': return 3;
        default: return -1;
    }
}

void UnmountConsumer::updateSequence() {
    if (!sequenceOverlay) return;
    const int slots = std::min(static_cast<int>(sequenceOverlay->items.size()), MAX_SEQUENCE_LENGTH);
    for (int i = 0; i < slots; ++i)
        sequenceOverlay->items[i]->visible = i < sequenceLength && i >= sequencePosition;
}

void UnmountConsumer::consumeDown(byte key, int, int) {
    removeBoards();
    const int direction = directionOf(key);
    if (!running || direction < 0) return;
    if (sequence[sequencePosition] == direction) rightKey();
    else wrongKey();
}

void UnmountConsumer::rightKey() {
    if (!running) return;
    sequence[sequencePosition] += TYPED_MARK;
    ++sequencePosition;
    if (sequencePosition == static_cast<int>(sequence.size())) finish();
    else updateSequence();
}

void UnmountConsumer::wrongKey() {
    if (!running) return;
    for (int i = sequencePosition - 1; i >= 0; --i) sequence[i] -= TYPED_MARK;
    sequencePosition = 0;
    updateSequence();
    pushBoard(unmountErrorBoard);
    AudioManager::fireError();
}

void UnmountConsumer::abort() {
    running = false;
    hideArrows();
    KeyboardProcessor::unregisterConsumer(this);
}

// The row is complete: the sign goes and the car may drive again, unless a
// pursuer caught it during the game (then only a reset frees it). No sound.
void UnmountConsumer::finish() {
    running = false;
    std::printf("\n UnmountConsumer::finish(): sign dismantled");
    if (carControl && !(catchState && catchState->caught)) carControl->enabled = true;
    if (sequenceOverlay) sequenceOverlay->visible = false;
    hideArrows();
    pushBoard(signFinishedBoard);
    if (sign) {
        sign->dismounted = true;
        sign->showPlate(false);
    }
    KeyboardProcessor::unregisterConsumer(this);
}

void UnmountConsumer::hideArrows() {
    if (!sequenceOverlay) return;
    const int slots = std::min(static_cast<int>(sequenceOverlay->items.size()), MAX_SEQUENCE_LENGTH);
    for (int i = 0; i < slots; ++i) sequenceOverlay->items[i]->visible = false;
}

void UnmountConsumer::removeBoards() {
    if (!messageStack) return;
    messageStack->remove(unmountErrorBoard);
    messageStack->remove(signFinishedBoard);
}

void UnmountConsumer::pushBoard(const std::shared_ptr<Billboard>& board) {
    if (messageStack && board) messageStack->push(board);
}
