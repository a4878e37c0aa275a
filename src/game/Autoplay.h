#pragma once
#include <memory>
#include <string>
#include <vector>

#include "game/DemoLevel.h"
#include "game/RoutePlan.h"

// Plays a level as a player would: once per frame it looks at what a player
// sees (where the cars, signs and items stand, which arrows of the sign game
// show and which way they point, the race watch, the "busted" state) and
// holds or releases w, a, s, d through the keyboard processor. It never moves
// a car or writes game state itself.
//
// The route is planned before the race from the level's description, as a
// player who knows the level plans it (RoutePlan): the signs in turn, through
// the items that help on the way and away from the pursuers' roads, then back
// into the start area, keeping out of where the pursuers are expected on their
// patrol (PatrolForecast, from their top speeds and views). On the way it steers by the bearing of the next
// waypoint (positive to the right), brakes for sharp turns, backs off when
// stuck or after a sign, and bends its course away from pursuers: hard from
// hunting ones, gently from patrolling ones, whose view it keeps out of; it
// hangs back behind a patrolling one driving away ahead of it. A
// sign is entered only when no pursuer will see it before the row is typed
// (one coming nearer counts with the way it makes meanwhile, one that hunts
// faster than the car also with the time to leave its view); until then the
// car waits near the sign where the pursuers and their roads are farthest,
// and drives straight away from pursuers that hunt it there. An item of the
// route that a pursuer would see taken is left out. The arrow row is typed at 7.5
// keys a second. Each milestone prints one console line "autoplay: ...",
// and so does each split and the finish against a ghost.
class Autoplay {
public:
    enum Outcome { PLAYING, WON, CAUGHT };

    // frameSeconds: the game time of one frame (the fixed step).
    explicit Autoplay(std::shared_ptr<DemoLevel> level, double frameSeconds = 1.0 / 60.0);

    // Looks and presses the keys of one frame; call once before each frame.
    Outcome step();
    Outcome getOutcome() const { return outcome; }
    // The game's exit status for an outcome: 0 won, 3 caught, -1 while playing.
    static int exitStatus(Outcome outcome);
    int getSignsDown() const { return signsDown; }

    // Race time as the watch shows it: "h:mm:ss.mmm", milliseconds cut.
    static std::string formatTime(double seconds);

    static constexpr int KEY_INTERVAL = 8;   // frames between two typed arrows (7.5 a second)
    static constexpr int KEY_HOLD = 4;       // frames an arrow key stays down

private:
    using Point = RoutePoint;
    using Leg = RoutePlan::Leg;
    enum Mode { DRIVING, TYPING, BACKING };

    void buildRoute();
    int signCount() const { return static_cast<int>(level->getSigns().size()); }
    bool plateShown(int sign) const;
    Point signPosition(int sign) const;
    double raceTime() const;

    void watchOutcome();
    void watchPursuers();
    void reportSplits();
    void reportFinish() const;
    bool rowShown() const;
    void type();
    void drive();
    void backOff();
    Point goal();
    bool passed(const Point& waypoint) const;
    bool guarded(const Point& waypoint) const;
    bool waiting() const;
    bool pursuerNear() const;
    bool trailing(const Point& toGoal) const;
    Point waitingPlace(int sign, double distance);
    double clearance(const Point& place) const;
    bool hunted() const;
    Point escape() const;
    double roadClearance(const Point& place) const;
    double pathClearance(const Point& place) const;
    double closingWay(std::size_t hunter, double distance) const;
    Point avoidPursuers(const Point& position, const Point& toGoal);
    double crowdView(int sign) const;
    double blindTime() const;
    double viewOf(std::size_t hunter, double seconds) const;
    void steer(double bearing, double distance);
    void standStill();
    double bearingTo(const Point& position, const Point& target) const;

    void hold(unsigned char key, bool down);
    void releaseAll();

    std::shared_ptr<DemoLevel> level;
    double frameSeconds;
    std::vector<Leg> route;
    std::unique_ptr<RoutePlan> plan;
    std::vector<double> trueViews;  // per pursuer, units
    std::vector<Point> hunterPlaces;  // per pursuer, where it was seen last
    std::vector<Point> hunterMoves;   // per pursuer, its way in the last frame (units)
    std::size_t leg = 0;
    std::size_t waypoint = 0;
    int waitDirection = -1;    // of the waiting place round the leg's sign, -1 for none yet
    Mode mode = DRIVING;
    Outcome outcome = PLAYING;
    int signsDown = 0;
    int splitsShown = 0;  // lines printed of the splits against a ghost

    bool held[256] = {};
    Point lastPosition;
    Point carMove;  // the car's way in the last frame (units)
    bool chased = false;        // a hunting pursuer close behind: no braking
    double forwardSpeed = 0.0;  // units per second, seen from the car's movement
    int steerFrames = 0;        // frames a steering key has been held
    int slowFrames = 0;         // frames in a row with the throttle held and no headway
    int backingFrames = 0;      // left in the current back-off
    int typingFrames = 0;       // since the last arrow key went down
    int keyDownFrames = -1;     // since the held arrow key went down, -1 for none
    unsigned char typedKey = 0;
};
