#include "input/VirtualPad.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

namespace {
// Every standard button up to the d-pad and every axis, in SDL's order, so
// that SDL's mapping of a virtual controller takes them one to one.
constexpr int BUTTONS = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
constexpr int AXES = SDL_CONTROLLER_AXIS_MAX;

bool isTrigger(SDL_GameControllerAxis axis) {
    return axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
}

// A trigger's joystick axis runs from its minimum (let go) to its maximum (pulled).
Sint16 joystickValue(SDL_GameControllerAxis axis, double value) {
    if (isTrigger(axis)) return static_cast<Sint16>(SDL_JOYSTICK_AXIS_MIN + std::clamp(value, 0.0, 1.0) * 65535.0);
    return static_cast<Sint16>(std::clamp(value, -1.0, 1.0) * SDL_JOYSTICK_AXIS_MAX);
}
}  // namespace

VirtualPad::VirtualPad() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    available = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

VirtualPad::~VirtualPad() {
    unplug();
    if (scriptFd >= 0) close(scriptFd);
    if (available) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

bool VirtualPad::plug() {
    if (!available || joystick) return joystick != nullptr;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = AXES;
    desc.nbuttons = BUTTONS;
    desc.axis_mask = (1u << AXES) - 1;
    desc.button_mask = (1u << BUTTONS) - 1;
    desc.name = NAME;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return false;
    joystick = SDL_JoystickOpen(index);
    if (!joystick) {
        SDL_JoystickDetachVirtual(index);
        return false;
    }
    setAxis("lefttrigger", 0.0);
    setAxis("righttrigger", 0.0);
    return true;
}

void VirtualPad::unplug() {
    if (!joystick) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    SDL_JoystickClose(joystick);
    joystick = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
}

bool VirtualPad::setButton(const std::string& name, bool down) {
    const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
    if (!joystick || button == SDL_CONTROLLER_BUTTON_INVALID || button >= BUTTONS) return false;
    return SDL_JoystickSetVirtualButton(joystick, button, down ? SDL_PRESSED : SDL_RELEASED) == 0;
}

bool VirtualPad::setAxis(const std::string& name, double value) {
    const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name.c_str());
    if (!joystick || axis == SDL_CONTROLLER_AXIS_INVALID) return false;
    return SDL_JoystickSetVirtualAxis(joystick, axis, joystickValue(axis, value)) == 0;
}

bool VirtualPad::play(const std::string& line) {
    std::istringstream in(line);
    std::string verb, name;
    double value = 0.0;
    in >> verb >> name;
    bool done = false;
    if (verb == "press" || verb == "release") done = setButton(name, verb == "press");
    else if (verb == "axis") done = static_cast<bool>(in >> value) && setAxis(name, value);
    else if (verb == "wait") done = std::istringstream(name) >> waitFrames && waitFrames >= 0;
    else if (verb == "plug") done = plug();
    else if (verb == "unplug") {
        done = isPlugged();
        unplug();
    }
    if (!done) std::printf("\n VirtualPad::play(): WARNING! cannot play \"%s\"", line.c_str());
    return done;
}

bool VirtualPad::follow(const std::string& path) {
    if (scriptFd >= 0) close(scriptFd);
    pending.clear();
    scriptFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (scriptFd < 0) std::printf("\n VirtualPad::follow(): WARNING! cannot open %s", path.c_str());
    return scriptFd >= 0;
}

void VirtualPad::playScript() {
    if (scriptFd < 0) return;
    if (waitFrames > 0) {
        --waitFrames;
        return;
    }
    char buffer[512];
    ssize_t n;
    while ((n = read(scriptFd, buffer, sizeof(buffer))) > 0) pending.append(buffer, static_cast<size_t>(n));
    // A line that moves a control already moved in this frame waits for the
    // next: every press and every release is seen by a poll.
    std::set<std::string> moved;
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        const std::string line = pending.substr(0, end);
        std::istringstream words(line);
        std::string verb, control;
        words >> verb >> control;
        if (!moved.insert(control).second) return;
        pending.erase(0, end + 1);
        if (!line.empty()) play(line);
        if (waitFrames > 0) return;
    }
}
