#pragma once
#include <string>

struct _SDL_Joystick;

// A gamepad that exists only inside this process: an SDL virtual joystick
// laid out as a standard game controller (SDL maps its buttons and axes one
// to one), set by the program instead of a hand. Tests drive the game's pad
// handling with it; the game plugs one in when the environment variable
// ZARVIK_VIRTUAL_PAD names a script file, and plays the lines appended to
// the file as frames come, a control moved at most once a frame, so that the
// game sees every press and release:
//   press BUTTON, release BUTTON   SDL's names: a, b, back, start, dpup, dpdown, dpleft, dpright, ...
//   axis AXIS VALUE                leftx, lefty, rightx, righty (-1 to 1), lefttrigger, righttrigger (0 to 1)
//   plug, unplug
//   wait FRAMES                    the next lines wait so many frames (with --fixed-step, 60 a second)
class VirtualPad {
public:
    static constexpr const char* NAME = "Zarvik Virtual Pad";
    static constexpr const char* SCRIPT_VARIABLE = "ZARVIK_VIRTUAL_PAD";

    // Starts SDL's joystick subsystem; the pad is not plugged in yet.
    VirtualPad();
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    // Plugs the pad in (its sticks centred, triggers and buttons let go); false when SDL cannot.
    bool plug();
    void unplug();
    bool isPlugged() const { return joystick != nullptr; }

    // False for a name SDL does not know or an unplugged pad; values are clamped to their range.
    bool setButton(const std::string& name, bool down);
    bool setAxis(const std::string& name, double value);

    // One script line; false (and a console line) for one it does not understand.
    bool play(const std::string& line);
    // Follows a script file: false when it cannot be opened.
    bool follow(const std::string& path);
    // Plays the whole lines written to the followed file, up to one that moves a
    // control moved already in this call.
    void playScript();

private:
    bool available = false;
    _SDL_Joystick* joystick = nullptr;
    int scriptFd = -1;
    std::string pending;  // the start of a line still being written
    int waitFrames = 0;   // frames the script still waits
};
