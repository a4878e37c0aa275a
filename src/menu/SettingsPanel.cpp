// The settings panel: one entry per lasting setting, from the table below.
// A change is applied and written to the settings file at once (MenuHost).
#include <array>

#include "game/Difficulty.h"
#include "menu/MenuPanels.h"

namespace {
struct SettingRow {
    MenuSetting setting;
    const char* label;
    // A range when choices is empty: minimum, maximum, step, unit.
    std::vector<std::string> choices;
    int minimum, maximum, step;
    const char* unit;
    const char* description;  // says so where a value costs speed
};

const std::vector<std::string> OFF_ON = {"off", "on"};

std::vector<std::string> difficultyNames() {
    std::vector<std::string> names;
    for (const Difficulty* difficulty : Difficulty::ALL) names.emplace_back(difficulty->name);
    return names;
}

const std::array<SettingRow, 11>& settingRows() {
    static const std::array<SettingRow, 11> rows = {{
        {MenuSetting::MUSIC, "Music volume", {}, 0, 100, 10, " %", "How loud the music plays (7 and 8 in the race)."},
        {MenuSetting::EFFECTS, "Effects volume", {}, 0, 100, 10, " %", "How loud the engine and the items sound (9 and 0)."},
        {MenuSetting::MUTE, "Mute", OFF_ON, 0, 0, 1, "", "All sound off, the volumes kept (m)."},
        {MenuSetting::FULL_SCREEN, "Full screen", OFF_ON, 0, 0, 1, "", "The window fills the screen (f)."},
        {MenuSetting::WINDOW_SIZE, "Window size", {"640x480", "800x600", "1024x768", "1280x720", "1280x1024"}, 0, 0, 1, "",
         "The window's size; larger windows cost speed."},
        {MenuSetting::MULTISAMPLING, "Samples per pixel", {"one", "four"}, 0, 0, 1, "",
         "Four give smooth edges but cost about half the speed; from the next game."},
        {MenuSetting::DETAIL_TEXTURE, "Detail texture", OFF_ON, 0, 0, 1, "",
         "The near ground's grain; costs a little speed."},
        {MenuSetting::MINIMAP, "Minimap", OFF_ON, 0, 0, 1, "", "The map and the speedometer (n); cost a little speed."},
        {MenuSetting::GHOST, "Ghost", OFF_ON, 0, 0, 1, "", "The ghost of your best race (g)."},
        {MenuSetting::DEAD_ZONE, "Pad dead zone", {}, 0, 90, 5, " %", "How far a stick moves before it counts."},
        {MenuSetting::DIFFICULTY, "Difficulty", difficultyNames(), 0, 0, 1, "",
         "Easy: slower pursuers that see less, shorter rows. Hard: faster, farther-seeing ones. From the next restart."},
    }};
    return rows;
}
}  // namespace

MenuStack::Panel MenuPanels::settings() {
    auto panel = std::make_shared<Menu>("Settings");
    for (const SettingRow& row : settingRows()) {
        const int now = host.setting(row.setting);
        auto write = [this, which = row.setting](int value) { host.changeSetting(which, value); };
        panel->entries.push_back(row.choices.empty()
                                     ? MenuEntry::range(row.label, row.minimum, row.maximum, row.step, now, row.unit,
                                                        write, row.description)
                                     : MenuEntry::choice(row.label, row.choices, now, write, row.description));
    }
    panel->entries.push_back(MenuEntry::action("Back", [this] { stack.back(); }, "Left and right change a value."));
    return panel;
}
