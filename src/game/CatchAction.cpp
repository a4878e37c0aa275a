#include "game/CatchAction.h"

#include <cstdio>

#include "audio/AudioManager.h"

CatchAction::CatchAction(std::shared_ptr<HunterAI> a, std::shared_ptr<CarControl> control,
                         std::shared_ptr<CatchState> state)
    : ai(std::move(a)), carControl(std::move(control)), catchState(std::move(state)) {}

void CatchAction::enter() {
    if (!ai || ai->getState() != HunterAI::HUNTING) return;
    if (carControl) {
        carControl->enabled = false;
        if (auto movement = carControl->getCarMovement()) movement->stop();
    }
    if (onCatch) onCatch();
    AudioManager::startLooser();
    AudioManager::holdMusic(true);
    if (catchState) catchState->caught = true;
    if (messageStack) messageStack->push(loserBoard);
    if (auto car = ai->getCar()) std::printf("\n CatchAction::enter(): caught by %s!", car->getNodeDescription());
    std::fflush(stdout);
}

void CatchAction::abort() {
    if (messageStack) messageStack->remove(loserBoard);
    AudioManager::holdMusic(false);
    if (catchState) catchState->caught = false;
}
