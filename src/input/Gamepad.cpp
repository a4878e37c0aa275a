#include "input/Gamepad.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>

namespace {
constexpr double AXIS_FULL = SDL_JOYSTICK_AXIS_MAX;

double axis(SDL_GameController* pad, SDL_GameControllerAxis which) {
    return SDL_GameControllerGetAxis(pad, which) / AXIS_FULL;
}
bool button(SDL_GameController* pad, SDL_GameControllerButton which) {
    return SDL_GameControllerGetButton(pad, which) != 0;
}
}  // namespace

Gamepad::Gamepad(ActionHandler action, MessageHandler message)
    : onAction(std::move(action)), onMessage(std::move(message)) {
    // SDL would otherwise turn Ctrl-C into an event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    available = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (available) return;
    const char* why = SDL_GetError();
    std::printf("\n Gamepad::Gamepad(): no gamepad support%s%s, keys only", *why ? ": " : "", why);
}

Gamepad::~Gamepad() {
    if (!available) return;
    for (SDL_GameController* pad : pads) SDL_GameControllerClose(pad);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Gamepad::setDeadZone(double fraction) { deadZone = std::clamp(fraction, 0.0, 1.0); }

void Gamepad::poll() {
    if (!available) return;
    SDL_PumpEvents();
    takeDeviceEvents();
    Held now{};
    for (SDL_GameController* pad : pads) addHeld(pad, now);
    // Releases first: an action taken over by another never stands pressed twice.
    for (const bool pressed : {false, true})
        for (int a = 0; a < ACTION_COUNT; ++a)
            if (now[a] != held[a] && now[a] == pressed) {
                held[a] = pressed;
                if (onAction) onAction(static_cast<Action>(a), pressed);
            }
}

// Arrivals and departures; the pads' own button and axis events are dropped,
// their state is read directly.
void Gamepad::takeDeviceEvents() {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_CONTROLLERDEVICEADDED, SDL_CONTROLLERDEVICEREMOVED) > 0) {
        if (event.type == SDL_CONTROLLERDEVICEADDED) connect(event.cdevice.which);
        else disconnect(event.cdevice.which);
    }
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void Gamepad::connect(int deviceIndex) {
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (!pad) return;
    // An arrival reported twice opens the same pad again: one handle is kept.
    if (std::find(pads.begin(), pads.end(), pad) != pads.end()) {
        SDL_GameControllerClose(pad);
        return;
    }
    pads.push_back(pad);
    const char* name = SDL_GameControllerName(pad);
    report(std::string("Pad connected: ") + (name ? name : "unnamed pad"));
}

void Gamepad::disconnect(int instanceId) {
    SDL_GameController* pad = SDL_GameControllerFromInstanceID(instanceId);
    auto it = std::find(pads.begin(), pads.end(), pad);
    if (!pad || it == pads.end()) return;
    const char* name = SDL_GameControllerName(pad);
    report(std::string("Pad disconnected: ") + (name ? name : "unnamed pad"));
    pads.erase(it);
    SDL_GameControllerClose(pad);
}

void Gamepad::addHeld(SDL_GameController* pad, Held& into) const {
    const double stick = axis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    const bool left = button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    const bool right = button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    into[STEER_LEFT] |= stick < -deadZone || left;
    into[STEER_RIGHT] |= stick > deadZone || right;
    into[ACCELERATE] |= axis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > deadZone;
    into[BRAKE] |= axis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT) > deadZone;
    into[CONFIRM] |= button(pad, SDL_CONTROLLER_BUTTON_A);
    into[CANCEL] |= button(pad, SDL_CONTROLLER_BUTTON_B);
    const double vertical = axis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    into[STICK_UP] |= vertical < -deadZone;
    into[STICK_DOWN] |= vertical > deadZone;
    into[ARROW_UP] |= button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    into[ARROW_LEFT] |= left;
    into[ARROW_DOWN] |= button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    into[ARROW_RIGHT] |= right;
    into[PAUSE] |= button(pad, SDL_CONTROLLER_BUTTON_START);
    into[RESTART] |= button(pad, SDL_CONTROLLER_BUTTON_BACK);
}

void Gamepad::report(const std::string& text) {
    std::printf("\n Gamepad::poll(): %s", text.c_str());
    if (onMessage) onMessage(text);
}
