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

// How far the plan's way keeps beyond the view of the forecast pursuers,
// each stretch timed as the plan times it (units; negative: seen).
double clearanceOf(const LevelDescription& level, const RoutePlan& plan, const PatrolForecast& forecast, double view) {
    double seconds = RoutePlan::START_SECONDS, least = 1e30;
    RoutePoint at = plan.home();
    for (const RoutePlan::Leg& leg : plan.getLegs()) {
        std::vector<RoutePoint> way = {at};
        way.insert(way.end(), leg.waypoints.begin(), leg.waypoints.end());
        way.push_back(leg.sign < 0 ? plan.home()
                                   : RoutePoint{level.signs[leg.sign].position.x, level.signs[leg.sign].position.z});
        const double time = RoutePlan::drivingTime(way);
        double driven = 0.0, total = 0.0;
        for (std::size_t i = 1; i < way.size(); ++i) total += WayCost::distance(way[i - 1], way[i]);
        for (std::size_t i = 1; i < way.size(); ++i) {
            const double d = WayCost::distance(way[i - 1], way[i]);
            for (double t = 0.0; t < d; t += 1.0) {
                const RoutePoint p{way[i - 1].x + t / d * (way[i].x - way[i - 1].x), way[i - 1].z + t / d * (way[i].z - way[i - 1].z)};
                const double when = seconds + time * (driven + t) / total;
                for (std::size_t k = 0; k < forecast.size(); ++k)
                    least = std::min(least, WayCost::distance(p, forecast.where(k, when)) - view);
            }
            driven += d;
        }
        seconds += time + RoutePlan::SIGN_SECONDS;
        at = way.back();
    }
    return least;
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

// A pursuer patrols from its place to the patrol point nearest it, then from
// point to point in their order and round again, at its speed; without
// checkpoints the signs are its patrol points.
TEST(PatrolForecast, FollowsThePatrolRoundFromTheNearestPoint) {
    LevelDescription level;
    level.checkpoints = {{0.0f, -100.0f}, {100.0f, -100.0f}, {100.0f, 0.0f}};
    level.pursuers.push_back({LevelDescription::PursuerKind::SUV, {90.0f, -100.0f}, 0.0f});
    const PatrolForecast forecast(level, {{25.0, 5.0}});
    auto expect = [&](double seconds, double x, double z) {
        const RoutePoint p = forecast.where(0, seconds);
        EXPECT_NEAR(p.x, x, 1e-6) << seconds << " s";
        EXPECT_NEAR(p.z, z, 1e-6) << seconds << " s";
    };
    const double loop = (200.0 + 100.0 * std::sqrt(2.0)) / 5.0;  // seconds once round
    const double diagonal = 10.0 / std::sqrt(2.0);
    expect(0.0, 90.0, -100.0);
    expect(2.0, 100.0, -100.0);  // at the nearest point, the second
    expect(4.0, 100.0, -90.0);   // on to the third
    expect(24.0, 100.0 - diagonal, -diagonal);  // and round to the first
    expect(2.0 + loop, 100.0, -100.0);
    expect(24.0 + 3 * loop, 100.0 - diagonal, -diagonal);
    EXPECT_TRUE(forecast.seen({100.0, -70.0}, 4.0, 0.0));
    EXPECT_FALSE(forecast.seen({100.0, -60.0}, 4.0, 0.0));
    EXPECT_TRUE(forecast.seen({100.0, -60.0}, 4.0, 10.0));
    EXPECT_FALSE(forecast.seen({100.0, -70.0}, 24.0, 10.0));

    level.checkpoints.clear();  // patrolling the only sign
    level.signs.push_back({{0.0f, 50.0f}, 0.0f, "A", ""});
    const PatrolForecast signs(level, {{25.0, 5.0}});
    EXPECT_NEAR(signs.where(0, 1000.0).x, 0.0, 1e-6) << "at its only sign for good";
    EXPECT_NEAR(signs.where(0, 1000.0).z, 50.0, 1e-6);
    const PatrolForecast blind(level, {});
    EXPECT_FALSE(blind.seen({90.0, -100.0}, 0.0, 10.0)) << "a pursuer not described sees nothing";
}

// A pursuer sets off up the road to the northern sign as the race starts,
// slower than the car: driven first, that sign would be reached right behind
// it, and the pursuer waits round there on its patrol. The plan knows where
// it will be and takes the southern sign first, and its way and timing keep
// out of the pursuer's view all race long; a plan without the forecast drives into it.
TEST(RoutePlan, KeepsOutOfThePursuersViewAlongTheirPatrol) {
    LevelDescription level;
    level.terrain.size = 600.0f;
    level.signs = {{{0.0f, -200.0f}, 0.0f, "North", ""}, {{0.0f, 200.0f}, 180.0f, "South", ""}};
    level.checkpoints = {{10.0f, -40.0f}, {10.0f, -230.0f}, {200.0f, -230.0f}, {200.0f, -40.0f}};
    level.pursuers.push_back({LevelDescription::PursuerKind::SUV, {10.0f, -30.0f}, 0.0f});
    const PatrolForecast forecast(level, {{25.0, 6.0}});

    const RoutePlan blind(level, flat, 25.0);
    EXPECT_LT(clearanceOf(level, blind, forecast, 25.0), 0.0) << "the case needs the forecast";
    const RoutePlan plan(level, flat, 25.0, forecast);
    EXPECT_EQ(plan.getLegs().front().sign, 1) << "the southern sign first";
    EXPECT_GT(clearanceOf(level, plan, forecast, 25.0), 0.0);
}
