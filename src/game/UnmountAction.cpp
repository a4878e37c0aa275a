#include "game/UnmountAction.h"

#include <cstdio>
#include <string>

#include "audio/AudioManager.h"
#include "input/KeyboardProcessor.h"

float UnmountAction::SEQUENCE_LENGTH_FACTOR = 1.0f;

UnmountAction::UnmountAction(std::shared_ptr<Sign> s) : sign(std::move(s)) {}

int UnmountAction::sequenceLength() const { return static_cast<int>(SEQUENCE_LENGTH_FACTOR * rowFactor * 8.0); }

std::shared_ptr<CarControl> UnmountAction::findCarControl() {
    return std::dynamic_pointer_cast<CarControl>(KeyboardProcessor::getForKey('w'));
}

void UnmountAction::enter() {
    if (!sign) return;
    if (sign->dismounted) {
        if (messageStack && gotSignBoard) messageStack->push(gotSignBoard);
        AudioManager::fireError();
        return;
    }
    startGame();
}

// A disabled car control means a game (of this sign or another) or a catch
// holds the steering already: a second game would judge the same keys twice.
void UnmountAction::startGame() {
    carControl = findCarControl();
    if (!carControl) {
        std::printf("\n UnmountAction::enter(): WARNING! no car control claims the key w; no sign game.");
        return;
    }
    if (!carControl->enabled) return;
    consumer = std::make_shared<UnmountConsumer>(carControl, sign, sequenceOverlay, sequenceLength());
    consumer->messageStack = messageStack;
    consumer->signFinishedBoard = signFinishedBoard;
    consumer->unmountErrorBoard = unmountErrorBoard;
    consumer->catchState = catchState;
    KeyboardProcessor::registerConsumer(consumer);
    printKeys();
    if (auto movement = carControl->getCarMovement()) movement->stop();
    carControl->enabled = false;
}

// A debug line with the row as the keys that type it (d right, w up, a left, s down).
void UnmountAction::printKeys() const {
    std::string keys;
    for (int code : consumer->getSequence()) keys += (code >= 0 && code < 4) ? "dwas"[code] : '?';
    std::printf("\n UnmountAction::enter(): sign game started, keys: %s", keys.c_str());
    std::fflush(stdout);
}

void UnmountAction::leave() {
    if (!messageStack) return;
    messageStack->remove(gotSignBoard);
    messageStack->remove(signFinishedBoard);
    messageStack->remove(unmountErrorBoard);
}

void UnmountAction::endByCatch() {
    if (!consumer || !consumer->isRunning()) return;
    consumer->abort();
    if (sequenceOverlay) sequenceOverlay->visible = false;
    std::printf("\n UnmountAction::endByCatch(): sign game ended by the catch");
    std::fflush(stdout);
}

void UnmountAction::abort() {
    if (consumer) consumer->abort();
    leave();
    if (auto control = findCarControl()) control->enabled = true;
    if (sequenceOverlay) sequenceOverlay->visible = false;
}
