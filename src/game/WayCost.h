#pragma once
#include <functional>
#include <vector>

#include "game/RoutePoint.h"
#include "levels/LevelDescription.h"

// Prices a way over a level in units of distance, as a player who knows the
// level weighs it: its length, plus its climbs (the car is slow uphill), the
// stretches within sight of the pursuers' patrol roads, the turns at its
// waypoints, and what it passes: an overkill item (every pursuer hunts) costs
// more than any way, a booze item a gamble's worth, a sign that is not its end
// (a solid post) a long way round.
class WayCost {
public:
    // Ground height at (x, z), world units.
    using Height = std::function<double(double x, double z)>;
    // A straight patrol road; a pursuer's road may be a single point.
    struct Road {
        RoutePoint from, to;
    };

    // pursuerView: how far the widest-seeing pursuer of the level sees (units).
    WayCost(const LevelDescription& level, Height height, double pursuerView);

    // The straight way from a to b.
    double segment(const RoutePoint& a, const RoutePoint& b) const;
    // Turning at b on the way from a through b to c.
    double turn(const RoutePoint& a, const RoutePoint& b, const RoutePoint& c) const;
    // The whole way through the points, turns included.
    double path(const std::vector<RoutePoint>& points) const;

    // The point moved onto the terrain, a margin inside its edges.
    RoutePoint onTerrain(RoutePoint p) const;
    bool isOnTerrain(const RoutePoint& p) const;

    // The roads the pursuers patrol: from each patrol point to the next (the
    // level's checkpoints, else its signs, in their order, round to the first),
    // and from each pursuer's place to its nearest patrol point.
    const std::vector<Road>& getRoads() const { return roads; }

    static double distance(const RoutePoint& a, const RoutePoint& b);
    // From p to the nearest point of the straight way from a to b.
    static double distanceToSegment(const RoutePoint& p, const RoutePoint& a, const RoutePoint& b);

private:
    void findRoads();
    double climb(const RoutePoint& a, const RoutePoint& b) const;
    double exposure(const RoutePoint& a, const RoutePoint& b) const;
    double hazards(const RoutePoint& a, const RoutePoint& b) const;
    RoutePoint shortOfSign(const RoutePoint& end, const RoutePoint& other) const;

    Height height;
    double halfSize;                 // of the terrain, centred on the origin
    std::vector<RoutePoint> signs;   // solid posts
    std::vector<RoutePoint> overkills, boozes;
    double roadSight;  // a road is seen from this far (the view and a margin)
    std::vector<Road> roads;
};
