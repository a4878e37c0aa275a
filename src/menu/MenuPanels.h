#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/Level.h"
#include "menu/MenuHost.h"
#include "menu/MenuStack.h"

// The game's panels, each built afresh when it opens so that it shows the
// level, the records and the settings as they stand:
// - start: over the level at start-up, the level's name, description, best
//   time and medal and the keys; Race, Level, Settings, Controls, Records, Quit;
// - pause: Resume, Restart, Settings, Controls, Level, Quit;
// - results: after a win or a catch, the time, the best time, the time
//   against the ghost at each sign, the medal; Restart, Race your ghost, Quit;
// - levels: every level of the levels folder with its author, description,
//   best time and medal; choosing one plays it;
// - records: each level's best time and medal;
// - settings (SettingsPanel.cpp) and controls (ControlsPanel.cpp).
class MenuPanels {
public:
    MenuPanels(MenuStack& stack, std::shared_ptr<Level> level, MenuHost& host);

    MenuStack::Panel start();
    MenuStack::Panel pause();
    MenuStack::Panel results(bool won);
    MenuStack::Panel levels();
    MenuStack::Panel records();
    MenuStack::Panel settings();
    MenuStack::Panel controls();

    // The time and medal kept for a level, as one line ("1:56.816, Gold medal!", "no time yet").
    static std::string recordLine(const LevelDescription& level);
    // The lines of a won race: its time, the best, the splits against the ghost, the medal.
    std::vector<std::string> raceLines() const;

private:
    const LevelDescription* description() const;
    // The level's description cut into lines of at most `width` characters, at most `count` of them.
    static std::vector<std::string> wrapped(const std::string& text, std::size_t width, std::size_t count);
    void restart();
    void bindingChosen(PlayerAction action);
    void keyForBinding(PlayerAction action, Key key);
    void refreshControls(const std::string& note);

    MenuStack& stack;
    std::shared_ptr<Level> level;
    MenuHost& host;
};
