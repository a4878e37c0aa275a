#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/RoutePlan.h"

namespace {

using Kind = LevelDescription::ItemKind;

LevelDescription::Place at(double distance, double degrees) {
    const double a = degrees * M_PI / 180.0;
    return {static_cast<float>(distance * std::sin(a)), static_cast<float>(-distance * std::cos(a))};
}

// A level of signs round the start at the given distances and compass
// bearings, a pursuer between each two, on a terrain of the given size.
LevelDescription ring(const std::vector<std::pair<double, double>>& signs, float size = 600.0f) {
    LevelDescription level;
    level.terrain.size = size;
    for (std::size_t i = 0; i < signs.size(); ++i) {
        LevelDescription::Sign sign;
        sign.position = at(signs[i].first, signs[i].second);
        sign.name = "Town " + std::to_string(i + 1);
        level.signs.push_back(sign);
        LevelDescription::Pursuer pursuer;
        pursuer.position = at(signs[i].first * 0.6, signs[i].second + 25.0);
        level.pursuers.push_back(pursuer);
    }
    return level;
}

void addItem(LevelDescription& level, Kind kind, LevelDescription::Place place) { level.items.push_back({kind, place}); }

double flat(double, double) { return 0.0; }

// The whole way the plan drives: the start, each leg's waypoints and its sign, home.
std::vector<RoutePoint> wayOf(const LevelDescription& level, const RoutePlan& plan) {
    std::vector<RoutePoint> way = {plan.home()};
    for (const RoutePlan::Leg& leg : plan.getLegs()) {
        way.insert(way.end(), leg.waypoints.begin(), leg.waypoints.end());
        if (leg.sign >= 0) way.push_back({level.signs[leg.sign].position.x, level.signs[leg.sign].position.z});
        else way.push_back(plan.home());
    }
    return way;
}

// How near the car comes to p on the way; it stops 3 units short of a sign's
// post and backs off the way it came.
double nearestApproach(const LevelDescription& level, const std::vector<RoutePoint>& way,
                       const LevelDescription::Place& p) {
    auto shortOfSign = [&](RoutePoint end, const RoutePoint& other) {
        const double d = WayCost::distance(end, other);
        for (const auto& sign : level.signs)
            if (std::hypot(sign.position.x - end.x, sign.position.z - end.z) < 0.5 && d > 3.0)
                return RoutePoint{end.x + (other.x - end.x) * 3.0 / d, end.z + (other.z - end.z) * 3.0 / d};
        return end;
    };
    double nearest = 1e30;
    for (std::size_t i = 1; i < way.size(); ++i)
        nearest = std::min(nearest, WayCost::distanceToSegment({p.x, p.z}, shortOfSign(way[i - 1], way[i]),
                                                               shortOfSign(way[i], way[i - 1])));
    return nearest;
}

}  // namespace

// Levels of every shape: each sign is planned once, the last leg goes home
// into the start area, and no waypoint lies off the terrain, also where the
// signs stand near its edge and the start is off the centre.
TEST(RoutePlan, VisitsEverySignOnceAndEndsInTheStartArea) {
    std::vector<LevelDescription> levels = {
        ring({{100, 20}, {120, 140}, {110, 250}}),
        ring({{120, 0}, {180, 75}, {260, 150}, {200, 220}, {150, 290}}),
        ring({{100, 10}, {160, 70}, {220, 130}, {260, 190}, {180, 250}, {130, 310}}),
        ring({{100, 0}, {110, 40}, {120, 80}, {130, 120}, {140, 160}, {150, 200}, {160, 240}, {170, 280}, {180, 320}}),
        ring({{90, 45}, {95, 135}, {90, 225}}, 200.0f),  // signs 5 units from the edge
        ring({}),
    };
    levels[1].start.position = {20.0f, -10.0f};
    for (int k = 0; k < 4; ++k) levels[1].checkpoints.push_back(at(120, 90.0 * k + 40));
    for (std::size_t n = 0; n < levels.size(); ++n) {
        const LevelDescription& level = levels[n];
        const RoutePlan plan(level, flat, 25.0);
        const auto& legs = plan.getLegs();
        ASSERT_EQ(legs.size(), level.signs.size() + 1) << "level " << n;
        std::vector<int> seen;
        for (std::size_t i = 0; i + 1 < legs.size(); ++i) seen.push_back(legs[i].sign);
        std::sort(seen.begin(), seen.end());
        for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], static_cast<int>(i)) << "level " << n;
        EXPECT_EQ(legs.back().sign, -1) << "level " << n;
        EXPECT_EQ(plan.home().x, level.start.position.x);
        EXPECT_EQ(plan.home().z, level.start.position.z);
        const double half = level.terrain.size / 2;
        for (const RoutePoint& p : wayOf(level, plan))
            EXPECT_TRUE(std::fabs(p.x) <= half && std::fabs(p.z) <= half) << "level " << n << " (" << p.x << ", " << p.z << ")";
        for (std::size_t s = 0; s < level.signs.size(); ++s) {
            const RoutePoint out = plan.outside(static_cast<int>(s), 60.0);
            EXPECT_TRUE(std::fabs(out.x) <= half && std::fabs(out.z) <= half) << "level " << n << " sign " << s;
        }
    }
}

// An overkill item sets every pursuer hunting: none is passed near enough
// to take it, wherever it lies: on the straight way out, between two signs,
// right in front of a sign, or beside the start.
TEST(RoutePlan, KeepsClearOfOverkillItems) {
    LevelDescription level = ring({{150, 0}, {150, 90}, {150, 180}, {150, 270}});
    const std::vector<LevelDescription::Place> overkills = {at(75, 0), at(106, 45), at(145, 90), at(20, 200),
                                                            at(75, 180), at(75, 270), at(140, 225)};
    for (const auto& place : overkills) addItem(level, Kind::OVERKILL, place);
    const RoutePlan plan(level, flat, 25.0);
    const auto way = wayOf(level, plan);
    // The car's sphere and the item's are 1 unit each: a unit to spare.
    for (const auto& place : overkills)
        EXPECT_GT(nearestApproach(level, way, place), 3.0) << "(" << place.x << ", " << place.z << ")";

    // One in front of the only sign, on the side of the start: the sign is
    // driven into from behind, and left the way the car came.
    LevelDescription alone = ring({{150, 0}});
    alone.pursuers.clear();
    addItem(alone, Kind::OVERKILL, at(146, 0));
    const RoutePlan round(alone, flat, 25.0);
    EXPECT_GT(nearestApproach(alone, wayOf(alone, round), at(146, 0)), 3.0);
}

// A vaccine that lies near the way shortly before a sign is taken on the way
// to that sign (the pursuers are blind while the row is typed); one far off
// the way is not, and a booze item on the straight way is driven round.
TEST(RoutePlan, TakesAVaccineNearTheWayJustBeforeASign) {
    LevelDescription level = ring({{150, 0}, {150, 120}, {150, 240}});
    const LevelDescription::Place near = at(125, 8), far = at(250, 180), booze = at(60, 0);
    addItem(level, Kind::VACCINE, near);
    addItem(level, Kind::VACCINE, far);
    addItem(level, Kind::BOOZE, booze);
    const RoutePlan plan(level, flat, 25.0);
    bool taken = false;
    for (const RoutePlan::Leg& leg : plan.getLegs())
        for (const RoutePoint& p : leg.waypoints) {
            const bool atNear = std::hypot(p.x - near.x, p.z - near.z) < 0.01;
            if (atNear) {
                EXPECT_EQ(leg.sign, 0) << "taken on the way to the sign beside it";
                EXPECT_LE(p.reach, RoutePlan::ITEM_REACH) << "met closely";
                taken = true;
            }
            EXPECT_GT(std::hypot(p.x - far.x, p.z - far.z), 1.0) << "not worth the way there";
        }
    EXPECT_TRUE(taken);
    EXPECT_GT(nearestApproach(level, wayOf(level, plan), booze), 3.0);
}

// A steep hill on the straight way to a sign is driven round; on flat
// ground the same sign is driven to straight.
TEST(RoutePlan, GoesRoundAHillInsteadOfClimbingIt) {
    LevelDescription level = ring({{200, 0}});
    level.pursuers.clear();
    const auto hill = [](double x, double z) { return 40.0 * std::exp(-(x * x + (z + 100) * (z + 100)) / (2 * 30.0 * 30.0)); };
    const RoutePlan round(level, hill, 25.0);
    double highest = 0.0;
    const auto way = wayOf(level, round);
    for (std::size_t i = 1; i < way.size(); ++i)
        for (double t = 0.0; t <= 1.0; t += 0.01)
            highest = std::max(highest, hill(way[i - 1].x + t * (way[i].x - way[i - 1].x),
                                             way[i - 1].z + t * (way[i].z - way[i - 1].z)));
    EXPECT_LT(highest, 10.0) << "the top stands 40 high";

    const RoutePlan straight(level, flat, 25.0);
    EXPECT_TRUE(straight.getLegs().front().waypoints.empty());
}
