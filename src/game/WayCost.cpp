#include "game/WayCost.h"

#include <algorithm>
#include <cmath>

namespace {
// Ways are looked at in steps of this length (units).
constexpr double STEP = 5.0;
// A waypoint keeps this far inside the terrain's edges (units).
constexpr double EDGE_MARGIN = 10.0;
// A road is seen from the pursuers' view and this margin (units).
constexpr double SIGHT_MARGIN = 10.0;
// A unit of way right on a road costs this much more, fading to nothing at the road's sight.
constexpr double EXPOSURE = 1.0;
// Each unit climbed costs this much way, and a slope steeper than STEEP costs
// STEEP_COST per unit of way and of slope beyond it.
constexpr double CLIMB = 10.0;
constexpr double STEEP = 0.15;
constexpr double STEEP_COST = 40.0;
// A turn of 180 degrees costs this much way (the car brakes and turns slowly).
constexpr double TURN = 30.0;
// Passing this near an item takes it (the two spheres of 1 unit, and a margin
// for the car's swerves).
constexpr double OVERKILL_CLEAR = 5.0;
constexpr double BOOZE_CLEAR = 4.0;
constexpr double OVERKILL_COST = 100000.0;
constexpr double BOOZE_COST = 150.0;
// A car driving into a sign stops this far before the post (its sphere
// meets the sign's) and backs away the way it came, so it is never nearer.
constexpr double SIGN_STOP = 3.0;
// A sign post that is no end of the way is kept this far from.
constexpr double SIGN_CLEAR = 8.0;
constexpr double SIGN_COST = 300.0;

std::vector<RoutePoint> placesOf(const std::vector<LevelDescription::Item>& items, LevelDescription::ItemKind kind) {
    std::vector<RoutePoint> places;
    for (const auto& item : items)
        if (item.kind == kind) places.push_back({item.position.x, item.position.z});
    return places;
}
}  // namespace

WayCost::WayCost(const LevelDescription& level, Height h, double pursuerView)
    : height(std::move(h)), halfSize(level.terrain.size * 0.5), roadSight(pursuerView + SIGHT_MARGIN) {
    for (const auto& sign : level.signs) signs.push_back({sign.position.x, sign.position.z});
    overkills = placesOf(level.items, LevelDescription::ItemKind::OVERKILL);
    boozes = placesOf(level.items, LevelDescription::ItemKind::BOOZE);
    std::vector<RoutePoint> patrol;
    for (const auto& p : level.checkpoints) patrol.push_back({p.x, p.z});
    if (patrol.empty()) patrol = signs;
    for (std::size_t i = 0; i < patrol.size(); ++i) roads.push_back({patrol[i], patrol[(i + 1) % patrol.size()]});
    for (const auto& pursuer : level.pursuers) {
        const RoutePoint place{pursuer.position.x, pursuer.position.z};
        if (patrol.empty()) {
            roads.push_back({place, place});
            continue;
        }
        const auto nearest = std::min_element(patrol.begin(), patrol.end(), [&](const auto& a, const auto& b) {
            return distance(place, a) < distance(place, b);
        });
        roads.push_back({place, *nearest});
    }
}

double WayCost::distance(const RoutePoint& a, const RoutePoint& b) { return std::hypot(a.x - b.x, a.z - b.z); }

double WayCost::distanceToSegment(const RoutePoint& p, const RoutePoint& a, const RoutePoint& b) {
    const double dx = b.x - a.x, dz = b.z - a.z;
    const double squared = dx * dx + dz * dz;
    const double t = squared > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.z - a.z) * dz) / squared, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.z - (a.z + t * dz));
}

RoutePoint WayCost::onTerrain(RoutePoint p) const {
    const double limit = std::max(0.0, halfSize - EDGE_MARGIN);
    p.x = std::clamp(p.x, -limit, limit);
    p.z = std::clamp(p.z, -limit, limit);
    return p;
}

bool WayCost::isOnTerrain(const RoutePoint& p) const {
    return std::fabs(p.x) <= halfSize && std::fabs(p.z) <= halfSize;
}

double WayCost::segment(const RoutePoint& a, const RoutePoint& b) const {
    return distance(a, b) + climb(a, b) + exposure(a, b) + hazards(a, b);
}

double WayCost::turn(const RoutePoint& a, const RoutePoint& b, const RoutePoint& c) const {
    const double in = std::atan2(b.z - a.z, b.x - a.x), out = std::atan2(c.z - b.z, c.x - b.x);
    double angle = std::fabs(out - in);
    if (angle > M_PI) angle = 2.0 * M_PI - angle;
    if (distance(a, b) < 1e-6 || distance(b, c) < 1e-6) angle = 0.0;
    return TURN * angle / M_PI;
}

double WayCost::path(const std::vector<RoutePoint>& points) const {
    double cost = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        cost += segment(points[i - 1], points[i]);
        if (i + 1 < points.size()) cost += turn(points[i - 1], points[i], points[i + 1]);
    }
    return cost;
}

// Each unit climbed, and more for every stretch steeper than a slope the car takes well.
double WayCost::climb(const RoutePoint& a, const RoutePoint& b) const {
    if (!height) return 0.0;
    const int steps = std::max(1, static_cast<int>(std::ceil(distance(a, b) / STEP)));
    const double step = distance(a, b) / steps;
    double cost = 0.0, last = height(a.x, a.z);
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double h = height(a.x + t * (b.x - a.x), a.z + t * (b.z - a.z));
        const double rise = h - last;
        last = h;
        if (rise <= 0.0) continue;
        cost += CLIMB * rise;
        if (step > 0.0 && rise / step > STEEP) cost += STEEP_COST * step * (rise / step - STEEP);
    }
    return cost;
}

// The way within sight of a road, the nearer the dearer.
double WayCost::exposure(const RoutePoint& a, const RoutePoint& b) const {
    if (roads.empty() || roadSight <= 0.0) return 0.0;
    const int steps = std::max(1, static_cast<int>(std::ceil(distance(a, b) / STEP)));
    const double step = distance(a, b) / steps;
    double cost = 0.0;
    for (int i = 0; i < steps; ++i) {
        const double t = (i + 0.5) / steps;
        const RoutePoint p{a.x + t * (b.x - a.x), a.z + t * (b.z - a.z)};
        double nearest = roadSight;
        for (const Road& road : roads) nearest = std::min(nearest, distanceToSegment(p, road.from, road.to));
        cost += EXPOSURE * step * (1.0 - nearest / roadSight);
    }
    return cost;
}

// Where the car is at the end `end` of the way from `other`: short of the
// post when a sign stands there (it stops there and backs off the way it came).
RoutePoint WayCost::shortOfSign(const RoutePoint& end, const RoutePoint& other) const {
    const double length = distance(end, other);
    const bool sign = std::any_of(signs.begin(), signs.end(), [&](const auto& s) { return distance(s, end) < 0.5; });
    if (!sign || length <= SIGN_STOP) return end;
    return {end.x + (other.x - end.x) * SIGN_STOP / length, end.z + (other.z - end.z) * SIGN_STOP / length};
}

// Items taken by passing them, and sign posts in the way (a sign at either
// end is where the way starts or goes).
double WayCost::hazards(const RoutePoint& a, const RoutePoint& b) const {
    const RoutePoint from = shortOfSign(a, b), stop = shortOfSign(b, a);
    double cost = 0.0;
    for (const RoutePoint& item : overkills)
        if (distanceToSegment(item, from, stop) < OVERKILL_CLEAR) cost += OVERKILL_COST;
    for (const RoutePoint& item : boozes)
        if (distanceToSegment(item, from, stop) < BOOZE_CLEAR) cost += BOOZE_COST;
    for (const RoutePoint& sign : signs)
        if (distance(sign, a) > SIGN_CLEAR && distance(sign, b) > SIGN_CLEAR &&
            distanceToSegment(sign, a, b) < SIGN_CLEAR)
            cost += SIGN_COST;
    return cost;
}
