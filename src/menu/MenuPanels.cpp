#include "menu/MenuPanels.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "game/BestTimes.h"
#include "game/DemoLevel.h"
#include "game/LevelRecords.h"
#include "game/UserDataFolder.h"
#include "levels/LevelCatalog.h"
#include "overlay/StopWatch.h"

namespace {
constexpr std::size_t TEXT_WIDTH = 58;  // characters of Helvetica 18 that fit a panel's line

std::string keyName(PlayerAction action) { return KeyBindings::keyName(KeyBindings::current().keyOf(action)); }

std::string keysLine() {
    return "Drive: " + keyName(PlayerAction::DriveUp) + " " + keyName(PlayerAction::DriveLeft) + " " +
           keyName(PlayerAction::DriveDown) + " " + keyName(PlayerAction::DriveRight) +
           "   Pause: " + keyName(PlayerAction::Pause) + "   Menu: arrows, Enter, Backspace";
}

// The best time kept for a level, read without a console line for a level never won.
std::optional<double> keptBest(const LevelDescription& level) {
    const std::string user = UserDataFolder::path();
    if (user.empty()) return std::nullopt;
    const LevelRecords records(user, level.id, DemoLevel::fingerprintOf(level));
    std::error_code error;
    if (!std::filesystem::exists(records.recordsPath(), error)) return std::nullopt;
    BestTimes best(records.recordsPath());
    best.load();
    return best.best();
}

std::string signed3(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.3f", seconds);
    return text;
}
}  // namespace

MenuPanels::MenuPanels(MenuStack& s, std::shared_ptr<Level> l, MenuHost& h) : stack(s), level(std::move(l)), host(h) {}

const LevelDescription* MenuPanels::description() const {
    const auto demo = std::dynamic_pointer_cast<DemoLevel>(level);
    return demo ? &demo->getDescription() : nullptr;
}

std::vector<std::string> MenuPanels::wrapped(const std::string& text, std::size_t width, std::size_t count) {
    std::vector<std::string> lines;
    std::string rest = text;
    while (!rest.empty() && lines.size() < count) {
        std::size_t cut = rest.size() <= width ? rest.size() : rest.rfind(' ', width);
        if (cut == std::string::npos || cut == 0) cut = std::min(width, rest.size());
        lines.push_back(rest.substr(0, cut));
        rest.erase(0, std::min(rest.size(), cut + 1));
    }
    if (!rest.empty() && !lines.empty()) lines.back() += "...";
    return lines;
}

std::string MenuPanels::recordLine(const LevelDescription& level) {
    const std::optional<double> best = keptBest(level);
    if (!best) return "no time yet";
    std::string line = StopWatch::format(*best);
    if (level.medals) line += ", " + level.medals->verdict(*best);
    return line;
}

MenuStack::Panel MenuPanels::start() {
    auto panel = std::make_shared<Menu>("Zarvik", Menu::Role::START);
    panel->stays = true;
    if (const LevelDescription* d = description()) {
        panel->lines.push_back(d->name.empty() ? d->id : d->name);
        for (const std::string& line : wrapped(d->description, TEXT_WIDTH, 2)) panel->lines.push_back(line);
        panel->lines.push_back("Best: " + recordLine(*d));
    }
    panel->lines.push_back(keysLine());
    panel->entries = {
        MenuEntry::action("Race", [this] { stack.closeAll(); }, "Start driving (a drive key starts at once, too)."),
        MenuEntry::action("Level", [this] { stack.open(levels()); }, "Choose another level."),
        MenuEntry::action("Settings", [this] { stack.open(settings()); }, "Sound, window, view and pad."),
        MenuEntry::action("Controls", [this] { stack.open(controls()); }, "Every action's key and pad button."),
        MenuEntry::action("Records", [this] { stack.open(records()); }, "The best time of every level."),
        MenuEntry::action("Quit", [this] { host.quit(); }, "End the game."),
    };
    return panel;
}

void MenuPanels::restart() {
    stack.closeAll();
    level->setPaused(false);
    level->reset();
}

MenuStack::Panel MenuPanels::pause() {
    auto panel = std::make_shared<Menu>("Paused", Menu::Role::PAUSE);
    panel->lines.push_back("The race stands still.   " + keyName(PlayerAction::Pause) + " or Backspace: resume");
    panel->leaving = [this] { level->setPaused(false); };
    panel->entries = {
        MenuEntry::action("Resume", [this] {
            stack.closeFrom(Menu::Role::PAUSE);
            level->setPaused(false);
        }, "Drive on from where you stopped."),
        MenuEntry::action("Restart", [this] { restart(); }, "Put the level back to its start."),
        MenuEntry::action("Settings", [this] { stack.open(settings()); }, "Sound, window, view and pad."),
        MenuEntry::action("Controls", [this] { stack.open(controls()); }, "Every action's key and pad button."),
        MenuEntry::action("Level", [this] { stack.open(levels()); }, "Choose another level."),
        MenuEntry::action("Quit", [this] { host.quit(); }, "End the game."),
    };
    return panel;
}

std::vector<std::string> MenuPanels::raceLines() const {
    std::vector<std::string> lines;
    const std::optional<Level::Win> win = level->lastWin();
    if (!win) return lines;
    lines.push_back("Time: " + StopWatch::format(win->seconds));
    const auto best = level->getBestTimes() ? level->getBestTimes()->best() : std::nullopt;
    lines.push_back("Best: " + (best ? StopWatch::format(*best) : std::string("-")) +
                    (win->newBest ? "   New best time!" : ""));
    if (const auto race = level->getGhostRace(); race && race->getGhost()) {
        std::string splits = "Ghost:";
        for (int n = 1; const auto gap = race->splitDifference(n); ++n) splits += " " + signed3(*gap);
        if (const auto gap = race->finishDifference()) splits += "  finish " + signed3(*gap);
        lines.push_back(splits);
    }
    if (const LevelDescription* d = description(); d && d->medals) lines.push_back(d->medals->verdict(win->seconds));
    return lines;
}

MenuStack::Panel MenuPanels::results(bool won) {
    auto panel = std::make_shared<Menu>(won ? "You won!" : "Busted!", Menu::Role::RESULTS);
    panel->stays = true;
    if (won) panel->lines = raceLines();
    else panel->lines.push_back("A pursuer caught you.");
    const bool ghost = won && level->getGhostRace();
    panel->entries.push_back(MenuEntry::action("Restart", [this] { restart(); }, "Race again from the start."));
    if (ghost)
        panel->entries.push_back(MenuEntry::action("Race your ghost", [this] {
            if (auto race = level->getGhostRace()) race->setShown(true);
            restart();
        }, "Race again against the ghost of your best race."));
    panel->entries.push_back(MenuEntry::action("Quit", [this] { host.quit(); }, "End the game."));
    return panel;
}

MenuStack::Panel MenuPanels::levels() {
    auto panel = std::make_shared<Menu>("Levels");
    for (const std::string& id : LevelCatalog::ids()) {
        std::vector<std::string> errors;
        std::optional<LevelDescription> d = LevelCatalog::read(id, errors);
        if (!d) {
            panel->entries.push_back(MenuEntry::action(id + " (cannot be played)", nullptr,
                                                       errors.empty() ? "" : errors.front()));
            continue;
        }
        const std::string by = d->author.empty() ? "" : "by " + d->author + ". ";
        const std::string note = by + d->description;
        MenuEntry entry = MenuEntry::action(
            d->name.empty() ? id : d->name, [this, level = *d] { host.switchLevel(level); },
            note.size() > 2 * TEXT_WIDTH ? note.substr(0, 2 * TEXT_WIDTH - 3) + "..." : note);
        entry.shown = [line = recordLine(*d)] { return line; };
        panel->entries.push_back(std::move(entry));
    }
    panel->entries.push_back(MenuEntry::action("Back", [this] { stack.back(); }));
    return panel;
}

MenuStack::Panel MenuPanels::records() {
    auto panel = std::make_shared<Menu>("Records");
    for (const std::string& id : LevelCatalog::ids()) {
        std::vector<std::string> errors;
        if (const auto d = LevelCatalog::read(id, errors))
            panel->lines.push_back((d->name.empty() ? id : d->name) + ": " + recordLine(*d));
    }
    panel->entries.push_back(MenuEntry::action("Back", [this] { stack.back(); }));
    return panel;
}
