#include "game/TimerRegionAction.h"

#include "assets/TextureQuad.h"
#include "audio/AudioManager.h"

namespace {
std::shared_ptr<Billboard> messagePicture(const char* file) {
    // Read when first shown: most races show only one of the two.
    auto board = std::make_shared<Billboard>(file, true, "hunter overlay billboard", Billboard::PictureLoad::WHEN_SHOWN);
    board->overlay = true;
    board->active = false;
    TextureQuad::makeWhite(*board->getMaterial(), 0.99f);
    return board;
}
}  // namespace

TimerRegionAction::TimerRegionAction(std::shared_ptr<SignStates> states, std::shared_ptr<StopWatch> watch,
                                     std::vector<std::shared_ptr<HunterAI>> hunterAIs)
    : hunters(std::move(hunterAIs)), signStates(std::move(states)), stopWatch(std::move(watch)) {
    initBillboards();
}

void TimerRegionAction::initBillboards() {
    winnerBoard = messagePicture("images/winner.png");
    unfinishedBoard = messagePicture("images/unfinished.png");
}

// After a win every sign is still down, so leaving again starts nothing.
void TimerRegionAction::leave() {
    if (!signStates->updateUnmountStates()) {
        stopWatch->start();
        AudioManager::startBackground();
        HunterAI::BLIND = false;
    }
    if (messageStack) {
        messageStack->remove(winnerBoard);
        messageStack->remove(unfinishedBoard);
    }
}

void TimerRegionAction::enter() {
    if (signStates->updateUnmountStates()) win();
    else showUnfinished();
}

void TimerRegionAction::win() {
    stopWatch->stop();
    if (messageStack) messageStack->push(winnerBoard);
    AudioManager::startWinner();
    AudioManager::fireCheer();
    HunterAI::BLIND = true;
    for (const auto& hunter : hunters) hunter->enterStrafingState(false);
    if (onWin) onWin(stopWatch->getTotalTime());
}

void TimerRegionAction::showUnfinished() {
    AudioManager::fireError();
    if (messageStack) messageStack->push(unfinishedBoard);
}
