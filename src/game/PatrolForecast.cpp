#include "game/PatrolForecast.h"

#include <algorithm>
#include <cmath>

namespace {
double between(const RoutePoint& a, const RoutePoint& b) { return std::hypot(a.x - b.x, a.z - b.z); }
}  // namespace

PatrolForecast::PatrolForecast(const LevelDescription& level, std::vector<Pursuer> pursuers) {
    std::vector<RoutePoint> points;
    for (const auto& p : level.checkpoints) points.push_back({p.x, p.z});
    if (points.empty())
        for (const auto& sign : level.signs) points.push_back({sign.position.x, sign.position.z});
    for (std::size_t i = 0; i < level.pursuers.size(); ++i) {
        Patrol patrol;
        if (i < pursuers.size()) patrol.pursuer = pursuers[i];
        const RoutePoint place{level.pursuers[i].position.x, level.pursuers[i].position.z};
        patrol.lead = {place};
        // The nearest patrol point not right at the pursuer, as the pursuer itself picks it.
        std::size_t first = points.size();
        for (std::size_t k = 0; k < points.size(); ++k) {
            const double d = between(place, points[k]);
            if (d > 0.0 && (first == points.size() || d < between(place, points[first]))) first = k;
        }
        if (first < points.size()) {
            patrol.lead.push_back(points[first]);
            for (std::size_t k = 0; k <= points.size(); ++k) patrol.loop.push_back(points[(first + k) % points.size()]);
        }
        patrol.leadLength = lengthOf(patrol.lead);
        patrol.loopLength = lengthOf(patrol.loop);
        patrols.push_back(patrol);
    }
}

double PatrolForecast::lengthOf(const std::vector<RoutePoint>& points) {
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) length += between(points[i - 1], points[i]);
    return length;
}

// The point this far along the polyline; its end beyond it.
RoutePoint PatrolForecast::along(const std::vector<RoutePoint>& points, double way) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double d = between(points[i - 1], points[i]);
        if (way <= d && d > 0.0) {
            const double t = way / d;
            return {points[i - 1].x + t * (points[i].x - points[i - 1].x),
                    points[i - 1].z + t * (points[i].z - points[i - 1].z)};
        }
        way -= d;
    }
    return points.empty() ? RoutePoint{} : points.back();
}

RoutePoint PatrolForecast::where(std::size_t pursuer, double seconds) const {
    if (pursuer >= patrols.size()) return {};
    const Patrol& patrol = patrols[pursuer];
    const double way = std::max(0.0, seconds) * patrol.pursuer.speed;
    if (way <= patrol.leadLength || patrol.loopLength <= 0.0) return along(patrol.lead, way);
    return along(patrol.loop, std::fmod(way - patrol.leadLength, patrol.loopLength));
}

bool PatrolForecast::seen(const RoutePoint& place, double seconds, double margin) const {
    for (std::size_t i = 0; i < patrols.size(); ++i) {
        if (patrols[i].pursuer.view < 1.0) continue;
        if (between(place, where(i, seconds)) < patrols[i].pursuer.view + margin) return true;
    }
    return false;
}
