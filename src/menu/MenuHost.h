#pragma once
#include <vector>

#include "input/KeyBindings.h"
#include "levels/LevelDescription.h"

// The settings the settings panel shows (the table in SettingsPanel.cpp).
enum class MenuSetting {
    MUSIC,
    EFFECTS,
    MUTE,
    FULL_SCREEN,
    WINDOW_SIZE,
    MULTISAMPLING,
    DETAIL_TEXTURE,
    MINIMAP,
    GHOST,
    DEAD_ZONE,
    DIFFICULTY,  // an index of easy, normal, hard
};

// What the panels ask of the program around them: the settings (applied and
// written to the settings file at once), the key bindings, another level, the
// end. The application implements it; the menus know nothing of windows,
// sound or files.
class MenuHost {
public:
    virtual ~MenuHost() = default;
    // A setting as it stands now: a number (per cent) or an index of its choices.
    virtual int setting(MenuSetting which) const = 0;
    virtual void changeSetting(MenuSetting which, int value) = 0;
    // The bindings to use from now on; the entries of the actions in
    // `changed` are written to the settings file.
    virtual void keepBindings(const KeyBindings& bindings, const std::vector<PlayerAction>& changed) = 0;
    // The level to play in place of the running one (loaded at the next frame).
    virtual void switchLevel(LevelDescription level) = 0;
    virtual void quit() = 0;
};
