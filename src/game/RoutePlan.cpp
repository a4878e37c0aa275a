#include "game/RoutePlan.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <map>
#include <numeric>

namespace {
using Kind = LevelDescription::ItemKind;

// Signs are driven into from outside, from a point this far out and as far to the side.
constexpr double SIGN_APPROACH = 25.0;
// Detour points lie this far to either side of the middle of a way.
constexpr double DETOURS[] = {40.0, 80.0, 120.0};
// Of the helpful items, those that lengthen a way by at most MAX_DETOUR
// are tried, at most NEAR_ITEMS of them, the nearest to the way first.
constexpr double MAX_DETOUR = 150.0;
constexpr std::size_t NEAR_ITEMS = 6;
// What an item taken is worth, in units of way: the engine doubles the speed
// for ENGINE_WAY units of way; the tool halves the arrows of the next sign;
// the vaccine blinds the pursuers for a while, fully when the way left is at
// most VACCINE_NEAR and not at all beyond VACCINE_FAR.
constexpr double ENGINE_WAY = 150.0;
constexpr double ENGINE_SHARE = 0.5;
constexpr double TOOL_WORTH = 20.0;
constexpr double VACCINE_WORTH = 80.0;
constexpr double VACCINE_NEAR = 150.0;
constexpr double VACCINE_FAR = 300.0;

// The forecast pursuers' views are kept clear of by this margin (units), for
// the plan's timing is rough; each unit of way within one costs SEEN_COST.
// The way is looked at in steps of RISK_STEP, driven at PLAN_SPEED.
constexpr double RISK_MARGIN = 10.0;
constexpr double SEEN_COST = 20.0;
constexpr double RISK_STEP = 5.0;
constexpr double PLAN_SPEED = 12.0;
// Start times of legs are priced in buckets of this many seconds (the order's search shares them).
constexpr double RISK_BUCKET = 1.0;

bool helpful(Kind kind) { return kind == Kind::ENGINE || kind == Kind::TOOL || kind == Kind::VACCINE; }

// The extra way of going from a through p to b instead of straight.
double detour(const RoutePoint& a, const RoutePoint& p, const RoutePoint& b) {
    return WayCost::distance(a, p) + WayCost::distance(p, b) - WayCost::distance(a, b);
}
}  // namespace

RoutePlan::RoutePlan(const LevelDescription& description, WayCost::Height height, double pursuerView,
                     PatrolForecast patrols)
    : level(description),
      cost(level, std::move(height), pursuerView),
      forecast(std::move(patrols)),
      start{description.start.position.x, description.start.position.z} {
    std::vector<bool> taken(level.items.size(), false);
    std::vector<int> signs = order();
    signs.push_back(-1);
    int at = -1;
    double seconds = START_SECONDS;
    for (int sign : signs) {
        const Way way = bestWay(at, sign, taken, seconds);
        for (int item : way.items) taken[item] = true;
        legs.push_back({way.stops, sign});
        seconds += way.seconds + SIGN_SECONDS;
        at = sign;
    }
}

double RoutePlan::drivingTime(const std::vector<RoutePoint>& way) {
    double length = 0.0;
    for (std::size_t i = 1; i < way.size(); ++i) length += WayCost::distance(way[i - 1], way[i]);
    return length / PLAN_SPEED;
}

double RoutePlan::risk(const std::vector<RoutePoint>& way, double seconds) const {
    if (forecast.empty()) return 0.0;
    double price = 0.0, driven = 0.0;
    for (std::size_t i = 1; i < way.size(); ++i) {
        const double length = WayCost::distance(way[i - 1], way[i]);
        const int steps = std::max(1, static_cast<int>(std::ceil(length / RISK_STEP)));
        for (int k = 0; k < steps; ++k) {
            const double t = (k + 0.5) / steps;
            const RoutePoint p{way[i - 1].x + t * (way[i].x - way[i - 1].x), way[i - 1].z + t * (way[i].z - way[i - 1].z)};
            if (forecast.seen(p, seconds + (driven + t * length) / PLAN_SPEED, RISK_MARGIN))
                price += SEEN_COST * length / steps;
        }
        driven += length;
    }
    return price;
}

RoutePoint RoutePlan::signAt(int sign) const {
    const auto& place = level.signs[sign].position;
    return {place.x, place.z};
}

RoutePoint RoutePlan::outside(int sign, double distance) const {
    if (sign < 0 || sign >= static_cast<int>(level.signs.size())) return start;
    const RoutePoint s = signAt(sign);
    const double d = WayCost::distance(s, start);
    if (d < 1.0) return cost.onTerrain({s.x, s.z - distance, RoutePlan::CORNER_REACH});
    return cost.onTerrain({s.x + (s.x - start.x) * distance / d, s.z + (s.z - start.z) * distance / d, CORNER_REACH});
}

// The signs in the order of the cheapest tour from the start round them and
// home, each way priced on its own.
std::vector<int> RoutePlan::order() const {
    const int n = static_cast<int>(level.signs.size());
    const std::vector<bool> none(level.items.size(), false);
    // ways[i][j]: from sign i (n: the start) to sign j (n: home); paths[i][j] its points.
    std::vector<std::vector<double>> ways(n + 1, std::vector<double>(n + 1, 0.0));
    std::vector<std::vector<std::vector<RoutePoint>>> paths(n + 1, std::vector<std::vector<RoutePoint>>(n + 1));
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j)
            if (i != j || i == n) {
                const int from = i == n ? -1 : i, to = j == n ? -1 : j;
                const Way way = bestWay(from, to, none, -1.0);
                ways[i][j] = way.cost;
                paths[i][j] = {from < 0 ? start : signAt(from)};
                paths[i][j].insert(paths[i][j].end(), way.stops.begin(), way.stops.end());
                paths[i][j].push_back(target(to));
            }
    if (n > MAX_ORDERED) return nearestFirst(ways);
    // The risk of a way by the second it is set off on; many orders share it.
    std::map<std::array<int, 3>, double> risks;
    auto leg = [&](int i, int j, double& seconds) {
        const std::array<int, 3> key = {i, j, static_cast<int>(seconds / RISK_BUCKET)};
        auto found = risks.find(key);
        const double price =
            ways[i][j] + (found != risks.end() ? found->second : risks[key] = risk(paths[i][j], key[2] * RISK_BUCKET));
        seconds += drivingTime(paths[i][j]) + SIGN_SECONDS;
        return price;
    };
    std::vector<int> signs(n), best;
    std::iota(signs.begin(), signs.end(), 0);
    double cheapest = 0.0;
    do {
        double seconds = START_SECONDS;
        double total = leg(n, signs.empty() ? n : signs.front(), seconds);
        for (int i = 0; i + 1 < n; ++i) total += leg(signs[i], signs[i + 1], seconds);
        if (n > 0) total += leg(signs.back(), n, seconds);
        if (best.empty() || total < cheapest) {
            cheapest = total;
            best = signs;
        }
    } while (std::next_permutation(signs.begin(), signs.end()));
    return best;
}

// Too many signs to try every order: always the cheapest way on.
std::vector<int> RoutePlan::nearestFirst(const std::vector<std::vector<double>>& ways) const {
    const int n = static_cast<int>(level.signs.size());
    std::vector<int> signs;
    std::vector<bool> planned(n, false);
    int at = n;
    for (int k = 0; k < n; ++k) {
        int next = -1;
        for (int j = 0; j < n; ++j)
            if (!planned[j] && (next < 0 || ways[at][j] < ways[at][next])) next = j;
        planned[next] = true;
        signs.push_back(next);
        at = next;
    }
    return signs;
}

// The helpful items near the way that are still to be had, the detour
// points to either side of it, and from a sign the point outside it towards
// where the way goes (the car backs off the way it came in).
std::vector<RoutePlan::Stop> RoutePlan::candidates(int fromSign, const RoutePoint& to,
                                                   const std::vector<bool>& taken) const {
    const RoutePoint from = fromSign < 0 ? start : signAt(fromSign);
    std::vector<Stop> stops;
    for (std::size_t k = 0; k < level.items.size(); ++k) {
        const auto& item = level.items[k];
        const RoutePoint p{item.position.x, item.position.z, ITEM_REACH};
        if (!taken[k] && helpful(item.kind) && detour(from, p, to) <= MAX_DETOUR)
            stops.push_back({p, static_cast<int>(k)});
    }
    std::sort(stops.begin(), stops.end(), [&](const Stop& a, const Stop& b) {
        return detour(from, a.point, to) < detour(from, b.point, to);
    });
    if (stops.size() > NEAR_ITEMS) stops.resize(NEAR_ITEMS);
    if (fromSign >= 0) stops.push_back({approach(fromSign, to), -1});
    const double length = WayCost::distance(from, to);
    if (length < 1.0) return stops;
    const double nx = -(to.z - from.z) / length, nz = (to.x - from.x) / length;
    for (double side : DETOURS)
        for (double sign : {1.0, -1.0}) {
            const RoutePoint p{(from.x + to.x) / 2 + sign * side * nx, (from.z + to.z) / 2 + sign * side * nz,
                               CORNER_REACH};
            stops.push_back({cost.onTerrain(p), -1});
        }
    return stops;
}

// The cheapest way from a sign (or the start, -1) to a sign (or home, -1):
// through no, one or two of the candidate stops, into a sign straight or
// from outside it.
RoutePlan::Way RoutePlan::bestWay(int fromSign, int sign, const std::vector<bool>& taken, double seconds) const {
    const RoutePoint from = fromSign < 0 ? start : signAt(fromSign);
    const RoutePoint to = target(sign);
    const std::vector<Stop> stops = candidates(fromSign, to, taken);
    std::map<std::array<double, 4>, double> segments;  // the same stretches come up in many ways
    auto segment = [&](const RoutePoint& a, const RoutePoint& b) {
        const std::array<double, 4> key = {a.x, a.z, b.x, b.z};
        auto found = segments.find(key);
        if (found != segments.end()) return found->second;
        return segments[key] = cost.segment(a, b);
    };
    Way best;
    best.cost = -1.0;
    auto tryWay = [&](const std::vector<const Stop*>& through) {
        std::vector<RoutePoint> points = {from};
        for (const Stop* stop : through) points.push_back(stop->point);
        for (bool outside : {false, true}) {
            if (outside && sign < 0) break;
            std::vector<RoutePoint> way = points;
            if (outside) way.push_back(approach(sign, way.back()));
            way.push_back(to);
            double price = 0.0, left = 0.0;
            for (std::size_t i = way.size() - 1; i > 0; --i) {
                price += segment(way[i - 1], way[i]);
                if (i + 1 < way.size()) price += cost.turn(way[i - 1], way[i], way[i + 1]);
                left += WayCost::distance(way[i - 1], way[i]);
                if (i - 1 >= 1 && i - 1 <= through.size() && through[i - 2]->item >= 0)
                    price -= worth(through[i - 2]->item, left, sign >= 0);
            }
            if (seconds >= 0.0 && (best.cost < 0.0 || price < best.cost)) price += risk(way, seconds);
            if (best.cost >= 0.0 && price >= best.cost) continue;
            best.cost = price;
            best.seconds = drivingTime(way);
            best.stops.assign(way.begin() + 1, way.end() - 1);
            best.items.clear();
            for (const Stop* stop : through)
                if (stop->item >= 0) best.items.push_back(stop->item);
        }
    };
    tryWay({});
    for (const Stop& a : stops) {
        tryWay({&a});
        for (const Stop& b : stops)
            if (&a != &b) tryWay({&a, &b});
    }
    return best;
}

// Where the car turns into the sign coming from a point: out from the sign
// (away from the start) and to the side of that point, so that the last
// stretch runs in from outside, off the roads that meet at the sign.
RoutePoint RoutePlan::approach(int sign, const RoutePoint& from) const {
    const RoutePoint s = signAt(sign);
    const RoutePoint out = outside(sign, SIGN_APPROACH);
    const double ox = out.x - s.x, oz = out.z - s.z;
    const double fx = from.x - s.x, fz = from.z - s.z;
    const double squared = ox * ox + oz * oz;
    const double along = squared > 0.0 ? (fx * ox + fz * oz) / squared : 0.0;
    double sx = fx - along * ox, sz = fz - along * oz;
    const double side = std::hypot(sx, sz);
    if (side > 0.0) {
        sx *= SIGN_APPROACH / side;
        sz *= SIGN_APPROACH / side;
    }
    return cost.onTerrain({out.x + sx, out.z + sz, CORNER_REACH});
}

// What taking the item is worth with `wayLeft` units still to drive to the
// sign (toSign) or home.
double RoutePlan::worth(int item, double wayLeft, bool toSign) const {
    switch (level.items[item].kind) {
    case Kind::ENGINE: return ENGINE_SHARE * std::min(wayLeft, ENGINE_WAY);
    case Kind::TOOL: return toSign ? TOOL_WORTH : 0.0;
    case Kind::VACCINE:
        return VACCINE_WORTH * std::clamp((VACCINE_FAR - wayLeft) / (VACCINE_FAR - VACCINE_NEAR), 0.0, 1.0);
    default: return 0.0;
    }
}
