#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

struct _SDL_GameController;

// The game's controls on gamepads, read through SDL's game controller layer
// (its mapping database gives common pads the standard layout: A, B, Start,
// Back, d-pad, two sticks, two triggers). Only that part of SDL is started:
// GLUT keeps the window and the keyboard.
//
// Each frame, poll turns the pads' state into actions held or not, and hands
// every change to the action handler, once per press and once per release:
//   left stick or d-pad left / right   STEER_LEFT / STEER_RIGHT
//   right trigger / A                  ACCELERATE / CONFIRM (both accelerate)
//   left trigger / B                   BRAKE / CANCEL (both brake and reverse)
//   left stick up / down               STICK_UP / STICK_DOWN (menus only)
//   d-pad up, left, down, right        ARROW_UP, ARROW_LEFT, ARROW_DOWN, ARROW_RIGHT
//   Start / Back                       PAUSE / RESTART
// A stick or trigger counts past the dead zone, a fraction of its full travel.
// Several pads act together: an action is held while any pad holds it.
//
// Pads come and go while the game runs: each arrival and departure goes to
// the message handler ("Pad connected: <name>", "Pad disconnected: <name>"),
// and a departing pad lets go of what it held. Without SDL's joystick
// support poll does nothing and nothing is shown.
class Gamepad {
public:
    enum Action {
        STEER_LEFT,
        STEER_RIGHT,
        ACCELERATE,
        BRAKE,
        ARROW_UP,
        ARROW_LEFT,
        ARROW_DOWN,
        ARROW_RIGHT,
        PAUSE,
        RESTART,
        CONFIRM,     // A: accelerates in the race, chooses in a menu
        CANCEL,      // B: brakes in the race, goes back in a menu
        STICK_UP,    // the left stick pushed up or down: moves through a menu
        STICK_DOWN,
        ACTION_COUNT
    };
    using ActionHandler = std::function<void(Action action, bool pressed)>;
    using MessageHandler = std::function<void(const std::string& text)>;

    static constexpr double DEFAULT_DEAD_ZONE = 0.25;

    // Starts SDL's game controller subsystem (no video, no audio, no signal handlers).
    Gamepad(ActionHandler onAction, MessageHandler onMessage);
    ~Gamepad();
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    // Whether SDL's game controller subsystem runs.
    bool isAvailable() const { return available; }
    // Takes in arrivals and departures, then hands on the changed actions.
    void poll();

    // The fraction of a stick's or trigger's travel that counts as rest, kept within 0 and 1.
    void setDeadZone(double fraction);
    double getDeadZone() const { return deadZone; }

    int padCount() const { return static_cast<int>(pads.size()); }
    bool isHeld(Action action) const { return held[action]; }

private:
    using Held = std::array<bool, ACTION_COUNT>;

    void takeDeviceEvents();
    void connect(int deviceIndex);
    void disconnect(int instanceId);
    void addHeld(_SDL_GameController* pad, Held& into) const;
    void report(const std::string& text);

    ActionHandler onAction;
    MessageHandler onMessage;
    bool available = false;
    double deadZone = DEFAULT_DEAD_ZONE;
    std::vector<_SDL_GameController*> pads;
    Held held{};
};
