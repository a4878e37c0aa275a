#pragma once
#include <memory>
#include <vector>

#include "animation/TimeBase.h"
#include "game/Event.h"

// Checks every event once per frame, optionally throttled to every N-th call
// or to a time interval (the two throttles exclude each other).
class EventManager {
public:
    EventManager();

    void performEvents();
    void setTimedIntervall(double secs);
    void setCallIntervall(long nrOfCalls);

    // Filled directly by whoever creates events; checked in insertion order.
    std::vector<std::shared_ptr<Event>> events;

private:
    double timedIntervall = 0.0;
    double elapsed = 0.0;
    long callIntervall = 0;
    long callCounter = 0;
    std::shared_ptr<TimeBase> timeBase;
};
