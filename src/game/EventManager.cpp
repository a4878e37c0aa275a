#include "game/EventManager.h"

EventManager::EventManager() : timeBase(std::make_shared<TimeBase>()) {}

void EventManager::performEvents() {
    bool performNow = true;
    if (callIntervall != 0) {
        ++callCounter;
        if (callCounter < callIntervall) performNow = false;
        else callCounter = 0;
    }
    if (timedIntervall != 0.0) {
        timeBase->measure();
        elapsed += timeBase->getElapsedTime();
        if (elapsed < timedIntervall) return;
        elapsed = 0.0;
    }
    if (!performNow) return;
    // By index, re-reading the size: an action may append events while we run,
    // and those are checked in the same pass. The copy of the handle keeps the
    // event alive even if the list is reallocated meanwhile.
    for (size_t i = 0; i < events.size(); ++i) {
        std::shared_ptr<Event> event = events[i];
        event->perform();
    }
}

void EventManager::setTimedIntervall(double secs) {
    timedIntervall = secs;
    callIntervall = 0;
    timeBase->reset();
    elapsed = 0.0;
}

void EventManager::setCallIntervall(long nrOfCalls) {
    callIntervall = nrOfCalls;
    timedIntervall = 0.0;
    callCounter = 0;
}
