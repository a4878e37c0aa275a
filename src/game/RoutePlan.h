#pragma once
#include <vector>

#include "game/PatrolForecast.h"
#include "game/RoutePoint.h"
#include "game/WayCost.h"
#include "levels/LevelDescription.h"

// A player's plan of a level, made before the race from what its description
// tells: the order of the signs, the way to each and the way home into the
// start area. The order is the one whose ways cost least (WayCost), tried in
// every order for up to MAX_ORDERED signs, nearest first beyond. Each way is
// the cheapest of: straight, round a point to either side, through helpful
// items (up to two stops in all), and into a sign straight or through a
// point outside it. An item taken is worth what it brings: the engine its
// speed over the way left, the tool its halved arrows at the next sign, the
// vaccine its blind pursuers, most when the sign or the start area lies just
// ahead. Every item is planned once. With a forecast of the pursuers' patrol,
// each way also costs what of it a pursuer is expected to see when the car
// drives it (the race timed at a steady pace and a few seconds a sign), so
// the order and the ways keep out of the pursuers' views as they come round.
class RoutePlan {
public:
    // One stretch: drive through the waypoints, then into the sign (an index
    // into the description's signs) or, at -1, home into the start area.
    struct Leg {
        std::vector<RoutePoint> waypoints;
        int sign = -1;
    };

    static constexpr int MAX_ORDERED = 8;
    // Waypoints at items must be met closely: the item's sphere and the car's are 1 unit each.
    static constexpr double ITEM_REACH = 1.5;
    // Other waypoints are cut this short.
    static constexpr double CORNER_REACH = 12.0;

    // pursuerView: how far the widest-seeing pursuer of the level sees (units);
    // forecast: where the pursuers patrol when (none: the plan keeps to the
    // patrol roads' costs alone).
    RoutePlan(const LevelDescription& level, WayCost::Height height, double pursuerView,
              PatrolForecast forecast = {});

    // One leg per sign, in the order planned, then the way home.
    const std::vector<Leg>& getLegs() const { return legs; }
    RoutePoint home() const { return start; }
    // The point this far out from the sign, on the line from the start through it, on the terrain.
    RoutePoint outside(int sign, double distance) const;
    const WayCost& getCost() const { return cost; }
    // What of the way through the points the forecast pursuers see, the car
    // setting off at `seconds` after the race's first frame (units of way, priced).
    double risk(const std::vector<RoutePoint>& way, double seconds) const;
    // Seconds the plan allows for driving the way and for taking a sign down.
    static double drivingTime(const std::vector<RoutePoint>& way);
    static constexpr double START_SECONDS = 6.0;  // to get going from the start
    static constexpr double SIGN_SECONDS = 5.0;

private:
    // A way planned to a sign or home: the waypoints between where it starts
    // and where it goes, the items it takes, and what it costs.
    struct Way {
        std::vector<RoutePoint> stops;
        std::vector<int> items;
        double cost = 0.0;
        double seconds = 0.0;  // to drive it
    };
    // A place a way may go through: one of the level's items, or a detour point (-1).
    struct Stop {
        RoutePoint point;
        int item = -1;
    };

    std::vector<int> order() const;
    std::vector<int> nearestFirst(const std::vector<std::vector<double>>& ways) const;
    // seconds: when the car sets off on the way; negative: its risk is not priced.
    Way bestWay(int fromSign, int sign, const std::vector<bool>& taken, double seconds) const;
    std::vector<Stop> candidates(int fromSign, const RoutePoint& to, const std::vector<bool>& taken) const;
    RoutePoint approach(int sign, const RoutePoint& from) const;
    double worth(int item, double wayLeft, bool toSign) const;
    RoutePoint signAt(int sign) const;
    RoutePoint target(int sign) const { return sign < 0 ? start : signAt(sign); }

    LevelDescription level;
    WayCost cost;
    PatrolForecast forecast;
    RoutePoint start;
    std::vector<Leg> legs;
};
