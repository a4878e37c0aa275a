#pragma once
#include <string>

#include "input/KeyBindings.h"

// The player's choices that last from game to game, as the settings file
// holds them (app/SettingsFile.h reads and writes it). Every entry, its
// table in the file, its range and its default:
//
//   [window]  width, height       1..16384 pixels      800 x 600
//             x, y                -16384..16384        100, 100
//             full_screen         true / false         false
//             multisampling       true / false         true   (four samples per pixel)
//             detail_savings      true / false         true   (F11's savings)
//             resolution          "auto" / "full"      "auto" (the world drawn smaller when frames are slow)
//             target_ms           1..1000 ms           16.7   (the frame time auto resolution holds)
//   [sound]   music, effects      0..100 per cent      100, 100
//             mute                true / false         false
//   [keys]    one entry per action (input/KeyBindings.h): drive_up, drive_left,
//             drive_down, drive_right, arrow_up, arrow_left, arrow_down,
//             arrow_right, reset, pause, mute, screenshot, music_down, music_up,
//             effects_down, effects_up, full_screen, minimap, ghost; each a key name
//             ("w", "F12", "up", "space", ...). The arrow_ entries follow the
//             drive keys when they are left out.
//   [gamepad] dead_zone           0..90 per cent of a stick's travel   25
//   [view]    minimap             true / false         true   (the minimap and the speedometer)
//             ghost               true / false         true   (the ghost of the best race)
//             detail_texture      true / false         true   (the near ground's grain)
//   [game]    level               a level's name in levels/, or a level file   "demo"
//             difficulty          "easy" / "normal" / "hard"   "normal" (see game/Difficulty.h)
struct Settings {
    static constexpr int MAX_WINDOW_SIZE = 16384;
    static constexpr int VOLUME_STEP = 10;  // per cent, for the volume keys
    static constexpr int MAX_DEAD_ZONE = 90;
    static constexpr double MIN_TARGET_MS = 1.0;
    static constexpr double MAX_TARGET_MS = 1000.0;

    int windowWidth = 800;
    int windowHeight = 600;
    int windowX = 100;
    int windowY = 100;
    bool fullScreen = false;
    bool multisampling = true;
    bool detailSavings = true;
    std::string resolution = "auto";
    double targetMs = 16.7;
    int musicVolume = 100;    // per cent
    int effectsVolume = 100;  // per cent
    bool mute = false;
    KeyBindings keys;
    int deadZone = 25;  // per cent of a stick's travel
    bool minimap = true;
    bool ghost = true;
    bool detailTexture = true;
    std::string level = "demo";  // the level played last
    std::string difficulty = "normal";

    // The dead zone as a share of a stick's travel, 0..0.9: a stick nearer
    // its middle than this counts as let go.
    double padDeadZone() const { return deadZone / 100.0; }

    // The text of a settings file that holds the defaults, every entry
    // with a comment; the file the game writes when it saves the first change.
    static std::string defaultText();
};
