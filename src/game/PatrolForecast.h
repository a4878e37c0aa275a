#pragma once
#include <cstddef>
#include <vector>

#include "game/RoutePoint.h"
#include "levels/LevelDescription.h"

// Where a player who knows the level expects each pursuer while none hunts:
// from its place to the patrol point nearest it, then from patrol point to
// patrol point in their order, round to the first (the level's checkpoints,
// else its signs), at its patrol speed. A pursuer that has hunted goes on
// from wherever the hunt ended, so the forecast holds best early in a race.
class PatrolForecast {
public:
    // How far a pursuer sees (units) and how fast it patrols (units a second).
    struct Pursuer {
        double view = 0.0;
        double speed = 0.0;
    };

    PatrolForecast() = default;
    // pursuers: one per pursuer of the level, in its order; missing ones stand still and see nothing.
    PatrolForecast(const LevelDescription& level, std::vector<Pursuer> pursuers);

    bool empty() const { return patrols.empty(); }
    std::size_t size() const { return patrols.size(); }
    // Where the pursuer is expected this many seconds after the race's first frame.
    RoutePoint where(std::size_t pursuer, double seconds) const;
    // Whether a pursuer is expected to see the place then, within its view and the margin.
    bool seen(const RoutePoint& place, double seconds, double margin) const;

private:
    struct Patrol {
        Pursuer pursuer;
        std::vector<RoutePoint> lead;  // its place, then the first patrol point
        std::vector<RoutePoint> loop;  // from that patrol point round to it again
        double leadLength = 0.0, loopLength = 0.0;
    };
    static RoutePoint along(const std::vector<RoutePoint>& points, double way);
    static double lengthOf(const std::vector<RoutePoint>& points);

    std::vector<Patrol> patrols;
};
