#include "game/Autoplay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/AudioManager.h"
#include "game/AntiHunterAction.h"
#include "input/KeyboardProcessor.h"
#include "math/Constants.h"
#include "overlay/SplitHud.h"
#include "physics/PhysicVolume.h"

namespace {

// A steering key held this long is pressed afresh.
constexpr int RESTEER_FRAMES = 20;
// Never brake with a hunting pursuer this near.
constexpr double CHASE_DISTANCE = 25.0;
// The car's turn rate in radians per second at a standstill (it falls to half at top speed).
constexpr double TURN_RATE = 100.0 * PI_OVER_180;
constexpr double TOP_SPEED = 15.0;
// A hunting pursuer drives twice as fast as a patrolling one.
constexpr double HUNT_FACTOR = 2.0;
// A patrolling pursuer keeps to half its top speed, a little less where it turns and climbs.
constexpr double PATROL_SHARE = 0.45;
// Steering: no key within the dead band; brake for turns sharper than
// BRAKE_BEARING while faster than BRAKE_SPEED (degrees, units per second).
constexpr double DEAD_BAND = 4.0;
constexpr double BRAKE_BEARING = 70.0;
constexpr double BRAKE_SPEED = 4.0;
// Throttle held this many frames without headway means stuck.
constexpr int STUCK_FRAMES = 60;
constexpr double STUCK_SPEED = 1.0;
// Backing off lasts one second.
constexpr int BACK_OFF_FRAMES = 60;
// A sign is entered only when no pursuer will stand this near it beyond its
// view (one driving away from the sign: LEAVING_GUARD); meanwhile the car
// waits SIGN_WAIT beyond the widest view of the pursuers there.
constexpr double SIGN_GUARD = 15.0;
constexpr double LEAVING_GUARD = 5.0;
constexpr double SIGN_WAIT = 15.0;
constexpr double WAYPOINT_WAIT = 8.0;  // the car stands this near its place to wait
// The waiting place is one of WAIT_DIRECTIONS points round the sign, each
// scored by how far it and the way there lie beyond the pursuers' views (up
// to CLEAR_ENOUGH) and, at WAIT_ROAD_SHARE, from the patrol roads (where
// pursuers come by next), less WAIT_DRIVE_SHARE of the car's way there;
// another place is taken only when it scores WAIT_SWITCH more than the one
// chosen before.
constexpr int WAIT_DIRECTIONS = 16;
constexpr double CLEAR_ENOUGH = 60.0;
constexpr double WAIT_ROAD_SHARE = 1.0;
constexpr double WAIT_DRIVE_SHARE = 0.2;
constexpr double WAIT_SWITCH = 10.0;
// Pursuers are looked at where they are and where they will be these seconds on.
constexpr double LOOK_AHEAD[] = {0.0, 2.0, 4.0};
// The way to a waiting place is looked at in steps, from a little way out.
constexpr double PATH_START = 10.0;
constexpr double PATH_STEP = 5.0;
// Hunted near a sign, the car makes for a point this far away.
constexpr double ESCAPE_DISTANCE = 80.0;
constexpr double CORNER_REACH = RoutePlan::CORNER_REACH;
// A sign game takes about this long (up to eight keys, 7.5 a second, and backing off).
constexpr double TYPING_SECONDS = 3.0;
// Blind pursuers are not kept away from while their blindness lasts longer than this.
constexpr double BLIND_MARGIN = 2.0;
// Beyond its view the margin kept from a patrolling pursuer and from a
// hunting one (units), and how hard each pushes the course away.
constexpr double PATROL_MARGIN = 6.0;
// An item with a pursuer within its view and this margin is left out.
constexpr double ITEM_GUARD = 10.0;
// A patrolling pursuer that comes nearer is kept farther from by the way the
// two close in this time.
constexpr double CLOSING_SECONDS = 1.5;
constexpr double HUNT_MARGIN = 20.0;
// A patrolling pursuer within this margin beyond its view, driving away
// within about 60 degrees of the car's way ahead, is not caught up with.
constexpr double TRAIL_MARGIN = 20.0;
constexpr double TRAIL_AHEAD = 0.5;
constexpr double PATROL_PUSH = 0.8;
constexpr double HUNT_PUSH = 2.5;

// The arrow's key by its direction code: right, up, left, down.
constexpr char ARROW_KEYS[] = "dwas";

double length(double x, double z) { return std::sqrt(x * x + z * z); }

}  // namespace

Autoplay::Autoplay(std::shared_ptr<DemoLevel> l, double seconds) : level(std::move(l)), frameSeconds(seconds) {
    // Built, nobody blinded yet: every pursuer's view has its true size.
    if (level)
        for (const auto& hunter : level->getHunters()) trueViews.push_back(hunter->getViewfield()->getEventSphere()->radius);
    buildRoute();
    if (level && level->getPlayerCar()) {
        const Vector p = HunterAI::positionOf(*level->getPlayerCar());
        lastPosition = {p.x, p.z};
    }
}

std::string Autoplay::formatTime(double seconds) {
    const long long ms = static_cast<long long>(std::max(0.0, seconds) * 1000.0 + 1e-6);
    char text[48];
    std::snprintf(text, sizeof(text), "%lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                  ms % 1000);
    return text;
}

// The plan of a player who knows the level: its description, the ground's
// heights and how far the pursuers see.
void Autoplay::buildRoute() {
    if (!level) return;
    const auto terrain = level->getTerrain();
    WayCost::Height height;
    if (terrain) height = [terrain](double x, double z) { return terrain->heightAt(x, z); };
    const double view = trueViews.empty() ? 0.0 : *std::max_element(trueViews.begin(), trueViews.end());
    std::vector<PatrolForecast::Pursuer> patrols;
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size() && i < trueViews.size(); ++i)
        patrols.push_back({trueViews[i], PATROL_SHARE * hunters[i]->getNormalMaxSpeed()});
    plan = std::make_unique<RoutePlan>(level->getDescription(), height, view,
                                       PatrolForecast(level->getDescription(), patrols));
    route = plan->getLegs();
    std::string order;
    for (const Leg& stretch : route)
        if (stretch.sign >= 0) order += (order.empty() ? "" : ", ") + level->getDescription().signs[stretch.sign].name;
    std::printf("\nautoplay: the route takes the signs in this order: %s\n", order.empty() ? "none" : order.c_str());
}

bool Autoplay::plateShown(int sign) const {
    const auto& signs = level->getSigns();
    if (sign < 0 || sign >= static_cast<int>(signs.size())) return false;
    auto face = signs[sign]->getMesh("face");
    return face && face->visible;
}

Autoplay::Point Autoplay::signPosition(int sign) const {
    const Vector p = HunterAI::positionOf(*level->getSigns()[sign]);
    return {p.x, p.z};
}

int Autoplay::exitStatus(Outcome outcome) {
    switch (outcome) {
        case WON: return 0;
        case CAUGHT: return 3;
        default: return -1;
    }
}

double Autoplay::raceTime() const { return level->getStopWatch()->getTotalTime(); }

Autoplay::Outcome Autoplay::step() {
    if (outcome != PLAYING || !level || !level->getPlayerCar()) return outcome;
    watchOutcome();
    if (outcome != PLAYING) {
        releaseAll();
        return outcome;
    }
    const Vector p = HunterAI::positionOf(*level->getPlayerCar());
    const float* pose = level->getPlayerCar()->getPhysicVolume()->matrix->data();
    const double frontLength = length(pose[8], pose[10]);
    if (frontLength > 0.0)
        forwardSpeed = -((p.x - lastPosition.x) * pose[8] + (p.z - lastPosition.z) * pose[10]) / frontLength / frameSeconds;
    carMove = {p.x - lastPosition.x, p.z - lastPosition.z};
    lastPosition = {p.x, p.z};
    watchPursuers();

    if (rowShown()) {
        if (mode != TYPING) {
            releaseAll();
            mode = TYPING;
            typingFrames = 0;
            keyDownFrames = -1;
        }
        type();
        return outcome;
    }
    if (mode == TYPING) {  // the row is done: let go of its last key and back away from the sign
        if (keyDownFrames >= 0) KeyboardProcessor::processUp(typedKey, 0, 0);
        keyDownFrames = -1;
        mode = BACKING;
        backingFrames = BACK_OFF_FRAMES;
    }
    if (mode == BACKING) backOff();
    else drive();
    return outcome;
}

// Where each pursuer went since the last frame, as a player sees the cars move.
void Autoplay::watchPursuers() {
    const auto& hunters = level->getHunters();
    hunterMoves.resize(hunters.size());
    hunterPlaces.resize(hunters.size());
    for (std::size_t i = 0; i < hunters.size(); ++i) {
        const Vector h = HunterAI::positionOf(*hunters[i]->getViewfield());
        hunterMoves[i] = {h.x - hunterPlaces[i].x, h.z - hunterPlaces[i].z};
        hunterPlaces[i] = {h.x, h.z};
    }
}

// Counts the plates gone, moves the route on past dismantled signs, and sees
// whether the race is won (every plate gone, the watch stopped on a time) or lost.
void Autoplay::watchOutcome() {
    int down = 0;
    for (int i = 0; i < static_cast<int>(level->getSigns().size()); ++i) down += plateShown(i) ? 0 : 1;
    for (; signsDown < down; ++signsDown)
        std::printf("\nautoplay: sign dismantled (%d of %d) at %s\n", signsDown + 1, signCount(),
                    formatTime(raceTime()).c_str());
    reportSplits();
    while (leg + 1 < route.size() && route[leg].sign >= 0 && !plateShown(route[leg].sign)) {
        ++leg;
        waypoint = 0;
        waitDirection = -1;
    }
    if (level->isCaught()) {
        std::string by = "a pursuer";
        double nearest = 1e30;
        const Vector p = HunterAI::positionOf(*level->getPlayerCar());
        for (const auto& hunter : level->getHunters()) {
            if (hunter->getState() != HunterAI::HUNTING || !hunter->getCar()) continue;
            const double d = Vector::distance(p, HunterAI::positionOf(*hunter->getCar()));
            if (d < nearest) {
                nearest = d;
                by = hunter->getCar()->getNodeDescription();
            }
        }
        std::printf("\nautoplay: caught by %s at %s with %d of %d signs down\n", by.c_str(),
                    formatTime(raceTime()).c_str(), signsDown, signCount());
        outcome = CAUGHT;
    } else if (signsDown == signCount() && !level->getStopWatch()->isRunning() && raceTime() > 0.0) {
        std::printf("\nautoplay: won in %s\n", formatTime(raceTime()).c_str());
        reportFinish();
        outcome = WON;
    }
    std::fflush(stdout);
}

// One line per sign taken down against a ghost, as soon as the race knows the difference.
void Autoplay::reportSplits() {
    const auto race = level->getGhostRace();
    if (!race || !race->getGhost()) return;
    for (; splitsShown < signCount(); ++splitsShown) {
        const auto difference = race->splitDifference(splitsShown + 1);
        if (!difference) return;
        std::printf("\nautoplay: split %d of %d against the ghost: %s\n", splitsShown + 1, signCount(),
                    SplitHud::format(*difference).c_str());
    }
}

// The finish against a ghost, and how closely the ghost kept to the car at
// the samples of this race.
void Autoplay::reportFinish() const {
    const auto race = level->getGhostRace();
    if (!race || !race->getGhost() || !race->finishDifference()) return;
    std::printf("\nautoplay: finish against the ghost: %s\n", SplitHud::format(*race->finishDifference()).c_str());
    const auto& gaps = race->getGaps();
    std::printf("\nautoplay: the ghost kept to the car at %zu samples within %.6f units and %.6f of its turn\n",
                gaps.samples, gaps.position, gaps.orientation);
}

bool Autoplay::rowShown() const {
    const auto row = level->getSequenceOverlays();
    if (!row || !row->visible) return false;
    return std::any_of(row->items.begin(), row->items.end(), [](const auto& arrow) { return arrow->visible; });
}

// The first arrow still shown is the next to type; its picture is turned by
// its direction code times 90 degrees. One key every KEY_INTERVAL frames,
// each held for KEY_HOLD frames.
void Autoplay::type() {
    ++typingFrames;
    if (keyDownFrames >= 0 && ++keyDownFrames >= KEY_HOLD) {
        KeyboardProcessor::processUp(typedKey, 0, 0);
        keyDownFrames = -1;
    }
    if (keyDownFrames >= 0 || typingFrames < KEY_INTERVAL) return;
    for (const auto& arrow : level->getSequenceOverlays()->items) {
        if (!arrow->visible) continue;
        const long turns = std::lround(arrow->getBillboard()->getZrot() / 90.0);
        typedKey = static_cast<unsigned char>(ARROW_KEYS[((turns % 4) + 4) % 4]);
        KeyboardProcessor::processDown(typedKey, 0, 0);
        keyDownFrames = 0;
        typingFrames = 0;
        return;
    }
}

void Autoplay::drive() {
    const Point position = lastPosition;
    const Point target = goal();
    double dx = target.x - position.x, dz = target.z - position.z;
    const double d = length(dx, dz);
    if (waiting() && d < WAYPOINT_WAIT && !pursuerNear()) {
        standStill();
        return;
    }
    if (d > 0.0) {
        dx /= d;
        dz /= d;
    }
    if (trailing({dx, dz})) {
        standStill();
        return;
    }
    const Point heading = avoidPursuers(position, {dx, dz});
    const double bearing = bearingTo(position, {position.x + heading.x, position.z + heading.z});

    slowFrames = held['w'] && std::fabs(forwardSpeed) < STUCK_SPEED ? slowFrames + 1 : 0;
    if (slowFrames > STUCK_FRAMES) {
        slowFrames = 0;
        mode = BACKING;
        backingFrames = BACK_OFF_FRAMES;
        backOff();
        return;
    }
    steer(bearing, d);
}

// Reverses for a while, the front swinging towards the goal (steering is
// mirrored in reverse).
void Autoplay::backOff() {
    const double bearing = bearingTo(lastPosition, goal());
    hold('w', false);
    hold('s', true);
    hold('a', bearing > DEAD_BAND);
    hold('d', bearing < -DEAD_BAND);
    if (--backingFrames <= 0) {
        mode = DRIVING;
        hold('s', false);
    }
}

// The next waypoint, else the leg's sign (or a way out from hunting
// pursuers, or a place to wait near the sign while pursuers are about), else
// the start area's centre.
Autoplay::Point Autoplay::goal() {
    Leg& current = route[std::min(leg, route.size() - 1)];
    while (waypoint < current.waypoints.size() && (passed(current.waypoints[waypoint]) || guarded(current.waypoints[waypoint])))
        ++waypoint;
    if (waypoint < current.waypoints.size()) return current.waypoints[waypoint];
    if (current.sign < 0) return plan->home();
    if (hunted()) return escape();
    const double crowd = crowdView(current.sign);
    if (crowd > 0.0) return waitingPlace(current.sign, crowd + SIGN_WAIT);
    return signPosition(current.sign);
}

bool Autoplay::passed(const Point& waypoint) const {
    return length(waypoint.x - lastPosition.x, waypoint.z - lastPosition.z) < waypoint.reach;
}

// An item of the route that a pursuer would see the car take is left out:
// no item is worth being hunted for.
bool Autoplay::guarded(const Point& waypoint) const {
    if (waypoint.reach > RoutePlan::ITEM_REACH) return false;
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size() && i < hunterPlaces.size(); ++i) {
        const double view = viewOf(i, BLIND_MARGIN);
        if (view >= 1.0 && length(hunterPlaces[i].x - waypoint.x, hunterPlaces[i].z - waypoint.z) < view + ITEM_GUARD)
            return true;
    }
    return false;
}

// How much longer a vaccine keeps the pursuers blind (its HUD icon fades out
// over that time), seconds; 0 when none works.
double Autoplay::blindTime() const {
    double left = 0.0;
    for (const auto& item : level->getItems())
        if (std::dynamic_pointer_cast<AntiHunterAction>(item) && item->isInfluenceActive())
            left = std::max(left, item->getInfluenceDuration() - item->getElapsed());
    return left;
}

// How far the pursuer sees within the next `seconds`: nothing while a vaccine
// lasts that long, otherwise its true view.
double Autoplay::viewOf(std::size_t hunter, double seconds) const {
    const double radius = level->getHunters()[hunter]->getViewfield()->getEventSphere()->radius;
    if (radius >= 1.0 || hunter >= trueViews.size()) return radius;
    return blindTime() > seconds ? 0.0 : trueViews[hunter];
}

// The widest view of the pursuers that would see the car at the sign before
// it has driven there and typed the row (units); 0 when none would. A pursuer
// coming nearer counts with the way it makes in that time, one driving away
// only while it still stands close.
double Autoplay::crowdView(int sign) const {
    double widest = 0.0;
    const Point s = signPosition(sign);
    const double seconds = length(s.x - lastPosition.x, s.z - lastPosition.z) / TOP_SPEED + TYPING_SECONDS;
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size(); ++i) {
        const auto view = hunters[i]->getViewfield();
        const double radius = viewOf(i, TYPING_SECONDS);
        if (radius < 1.0) continue;
        const Vector h = HunterAI::positionOf(*view);
        const double dx = h.x - s.x, dz = h.z - s.z;
        const double d = length(dx, dz);
        const Point move = i < hunterMoves.size() ? hunterMoves[i] : Point{};
        const bool leaving = dx * move.x + dz * move.z > 0.0;
        const double patrolSpeed = length(move.x, move.z) / frameSeconds;
        // One that hunts faster than the car drives must not come near before
        // the car has also left its view.
        const double escape = HUNT_FACTOR * patrolSpeed > TOP_SPEED ? radius / TOP_SPEED : 0.0;
        const double way = patrolSpeed * (seconds + escape);
        if (d < radius + (leaving ? LEAVING_GUARD : way + SIGN_GUARD)) widest = std::max(widest, radius);
    }
    return widest;
}

// Waiting outside the sign of the leg for the pursuers to go.
bool Autoplay::waiting() const {
    const Leg& current = route[std::min(leg, route.size() - 1)];
    return current.sign >= 0 && waypoint >= current.waypoints.size() && crowdView(current.sign) > 0.0;
}

// Whether a pursuer that sees nothing yet is about to: within its view and a margin.
bool Autoplay::pursuerNear() const {
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size(); ++i) {
        const double view = viewOf(i, BLIND_MARGIN);
        if (view < 1.0) continue;
        const Vector h = HunterAI::positionOf(*hunters[i]->getViewfield());
        if (length(h.x - lastPosition.x, h.z - lastPosition.z) < view + PATROL_MARGIN) return true;
    }
    return false;
}

// Whether a patrolling pursuer drives away ahead of the car, near enough
// that the car would catch up with its view: the car hangs back until the
// pursuer has turned off its way or gone (going round it takes long in its view).
bool Autoplay::trailing(const Point& toGoal) const {
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size() && i < hunterPlaces.size(); ++i) {
        const double view = viewOf(i, BLIND_MARGIN);
        if (view < 1.0 || hunters[i]->getState() == HunterAI::HUNTING) continue;
        const double dx = hunterPlaces[i].x - lastPosition.x, dz = hunterPlaces[i].z - lastPosition.z;
        const double d = length(dx, dz);
        if (d > view + TRAIL_MARGIN || d < 1e-3) continue;
        const bool ahead = (dx * toGoal.x + dz * toGoal.z) / d > TRAIL_AHEAD;
        const bool away = dx * hunterMoves[i].x + dz * hunterMoves[i].z > 0.0;
        if (ahead && away) return true;
    }
    return false;
}

// Where to wait this far from the sign: of the points round it, the one
// farthest beyond the pursuers' views, nearer ones of the car's first; the
// place chosen before is kept unless another is clearly better, so that the
// car does not swing to and fro.
Autoplay::Point Autoplay::waitingPlace(int sign, double distance) {
    const Point s = signPosition(sign);
    int best = -1;
    double bestScore = 0.0, keptScore = -1e30;
    for (int k = 0; k < WAIT_DIRECTIONS; ++k) {
        const double angle = 2.0 * PI * k / WAIT_DIRECTIONS;
        const Point p = plan->getCost().onTerrain({s.x + distance * std::cos(angle), s.z + distance * std::sin(angle)});
        const double score = std::min(clearance(p), pathClearance(p)) + WAIT_ROAD_SHARE * roadClearance(p) -
                             WAIT_DRIVE_SHARE * length(p.x - lastPosition.x, p.z - lastPosition.z);
        if (k == waitDirection) keptScore = score;
        if (best < 0 || score > bestScore) {
            best = k;
            bestScore = score;
        }
    }
    if (waitDirection < 0 || keptScore < bestScore - WAIT_SWITCH) waitDirection = best;
    const double angle = 2.0 * PI * waitDirection / WAIT_DIRECTIONS;
    return plan->getCost().onTerrain({s.x + distance * std::cos(angle), s.z + distance * std::sin(angle), CORNER_REACH});
}

// Whether a pursuer that sees hunts the car and is close.
bool Autoplay::hunted() const {
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size() && i < hunterPlaces.size(); ++i) {
        if (hunters[i]->getState() != HunterAI::HUNTING || viewOf(i, BLIND_MARGIN) < 1.0) continue;
        if (length(hunterPlaces[i].x - lastPosition.x, hunterPlaces[i].z - lastPosition.z) < viewOf(i, 0.0) + HUNT_MARGIN)
            return true;
    }
    return false;
}

// Away from the hunting pursuers near a sign: straight away from
// them, the nearer the more, and along the terrain's edge where it meets it.
// The car outruns a hunting pursuer that is not faster, and takes up its
// route again once it has lost sight.
Autoplay::Point Autoplay::escape() const {
    Point away{0.0, 0.0};
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size() && i < hunterPlaces.size(); ++i) {
        if (hunters[i]->getState() != HunterAI::HUNTING) continue;
        const double dx = lastPosition.x - hunterPlaces[i].x, dz = lastPosition.z - hunterPlaces[i].z;
        const double d = std::max(length(dx, dz), 1.0);
        away.x += dx / (d * d);
        away.z += dz / (d * d);
    }
    const double d = length(away.x, away.z);
    if (d <= 0.0) return lastPosition;
    const Point ahead{lastPosition.x + away.x / d * ESCAPE_DISTANCE, lastPosition.z + away.z / d * ESCAPE_DISTANCE,
                      CORNER_REACH};
    return plan->getCost().onTerrain(ahead);
}

// How far the place lies from the nearest patrol road, up to CLEAR_ENOUGH (units).
double Autoplay::roadClearance(const Point& place) const {
    double nearest = CLEAR_ENOUGH;
    for (const WayCost::Road& road : plan->getCost().getRoads())
        nearest = std::min(nearest, WayCost::distanceToSegment(place, road.from, road.to));
    return nearest;
}

// How far the place lies beyond the view of the nearest pursuer that sees,
// now and where each is going in the next seconds (units, up to CLEAR_ENOUGH).
double Autoplay::clearance(const Point& place) const {
    double nearest = CLEAR_ENOUGH;
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size() && i < hunterPlaces.size(); ++i) {
        const double view = viewOf(i, BLIND_MARGIN);
        if (view < 1.0) continue;
        for (double seconds : LOOK_AHEAD) {
            const double ahead = seconds / frameSeconds;
            const double x = hunterPlaces[i].x + hunterMoves[i].x * ahead, z = hunterPlaces[i].z + hunterMoves[i].z * ahead;
            nearest = std::min(nearest, length(x - place.x, z - place.z) - view);
        }
    }
    return nearest;
}

// The least clearance on the straight way from the car to the place, past its first stretch.
double Autoplay::pathClearance(const Point& place) const {
    const double way = length(place.x - lastPosition.x, place.z - lastPosition.z);
    double least = CLEAR_ENOUGH;
    for (double along = PATH_START; along < way; along += PATH_STEP) {
        const double t = along / way;
        least = std::min(least, clearance({lastPosition.x + t * (place.x - lastPosition.x),
                                           lastPosition.z + t * (place.z - lastPosition.z)}));
    }
    return least;
}

// Bends the unit direction to the goal away from every pursuer within its
// view plus a margin, and round it on the side where the goal lies.
Autoplay::Point Autoplay::avoidPursuers(const Point& position, const Point& toGoal) {
    Point dir = toGoal;
    chased = false;
    const auto& hunters = level->getHunters();
    for (std::size_t i = 0; i < hunters.size(); ++i) {
        const auto& hunter = hunters[i];
        const Vector h = HunterAI::positionOf(*hunter->getViewfield());
        const bool hunting = hunter->getState() == HunterAI::HUNTING;
        const double view = viewOf(i, BLIND_MARGIN);
        double ux = position.x - h.x, uz = position.z - h.z;
        const double d = length(ux, uz);
        const double reach = hunting ? std::max(view, 25.0) + HUNT_MARGIN : view + PATROL_MARGIN + closingWay(i, d);
        if (hunting && d < CHASE_DISTANCE) chased = true;
        if (d >= reach || d < 1e-3) continue;
        ux /= d;
        uz /= d;
        const double push = std::min(4.0, (hunting ? HUNT_PUSH : PATROL_PUSH) * (reach / d - 1.0));
        double tx = -uz, tz = ux;
        if (tx * toGoal.x + tz * toGoal.z < 0.0) {
            tx = -tx;
            tz = -tz;
        }
        dir.x += (ux + 0.7 * tx) * push;
        dir.z += (uz + 0.7 * tz) * push;
    }
    return dir;
}

// How much nearer the car and the pursuer come in CLOSING_SECONDS at the
// pace of the last frame (units; 0 when they part).
double Autoplay::closingWay(std::size_t hunter, double distance) const {
    if (hunter >= hunterMoves.size() || distance < 1e-3) return 0.0;
    const Point& h = hunterPlaces[hunter];
    const double ux = (h.x - lastPosition.x) / distance, uz = (h.z - lastPosition.z) / distance;
    const double closing = (carMove.x - hunterMoves[hunter].x) * ux + (carMove.z - hunterMoves[hunter].z) * uz;
    return std::max(0.0, closing / frameSeconds * CLOSING_SECONDS);
}

// Degrees from the car's front to the target, positive to the right. The
// car's front is its -Z axis.
double Autoplay::bearingTo(const Point& position, const Point& target) const {
    const float* pose = level->getPlayerCar()->getPhysicVolume()->matrix->data();
    double bearing =
        (std::atan2(position.z - target.z, position.x - target.x) - std::atan2(pose[10], pose[8])) * PI_UNDER_180;
    while (bearing > 180.0) bearing -= 360.0;
    while (bearing < -180.0) bearing += 360.0;
    return bearing;
}

// Brakes when the target lies inside the circle the car would turn at its
// speed (it would circle round it for good), and for sharp turns at speed.
void Autoplay::steer(double bearing, double distance) {
    const double speed = std::max(forwardSpeed, 0.0);
    const double rate = TURN_RATE * (1.0 - 0.5 * std::min(speed, TOP_SPEED) / TOP_SPEED);
    const double turnRadius = speed / rate;
    const bool circling = distance < 2.2 * turnRadius * std::sin(std::fabs(bearing) * PI_OVER_180);
    const bool brake = speed > BRAKE_SPEED && !chased && (circling || std::fabs(bearing) > BRAKE_BEARING);
    hold('w', !brake);
    hold('s', brake);
    hold('d', bearing > DEAD_BAND);
    hold('a', bearing < -DEAD_BAND);
}

void Autoplay::standStill() {
    hold('a', false);
    hold('d', false);
    hold('w', false);
    hold('s', forwardSpeed > 0.5);
}

// A held steering key is let go and pressed again now and then, as a player
// does when the car does not answer (a booze item ends with the steering released).
void Autoplay::hold(unsigned char key, bool down) {
    if (held[key] && down && (key == 'a' || key == 'd') && ++steerFrames % RESTEER_FRAMES == 0) {
        KeyboardProcessor::processUp(key, 0, 0);
        KeyboardProcessor::processDown(key, 0, 0);
    }
    if (held[key] == down) return;
    held[key] = down;
    if (down) KeyboardProcessor::processDown(key, 0, 0);
    else KeyboardProcessor::processUp(key, 0, 0);
}

void Autoplay::releaseAll() {
    for (unsigned char key : {'w', 'a', 's', 'd'}) hold(key, false);
}
