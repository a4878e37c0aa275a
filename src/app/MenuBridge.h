#pragma once
#include <functional>
#include <memory>

#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "menu/MenuHost.h"

class Level;
class Renderer;

// The menus' way to the rest of the program (menu/MenuHost.h): each setting
// they change is applied to the running game (sound, window, view, pad) and
// written to the settings file at once through its writer, which keeps the
// file's comments; key bindings likewise. Lives as long as the level's menus.
class MenuBridge : public MenuHost {
public:
    struct Calls {
        std::function<void(LevelDescription)> switchLevel;
        std::function<void()> quit;
        std::function<void(double)> deadZone;  // a share of a stick's travel
        std::function<void(const std::string&)> message;  // a line on the HUD
    };
    // file may be null: changes then last until the game ends.
    MenuBridge(Settings& settings, std::shared_ptr<SettingsFile> file, std::shared_ptr<Renderer> renderer,
               std::shared_ptr<Level> level, Calls calls);

    int setting(MenuSetting which) const override;
    void changeSetting(MenuSetting which, int value) override;
    void keepBindings(const KeyBindings& bindings, const std::vector<PlayerAction>& changed) override;
    void switchLevel(LevelDescription level) override { calls.switchLevel(std::move(level)); }
    void quit() override { calls.quit(); }

    // The window sizes the settings offer, as "WxH" (the index is the setting's value).
    static const std::vector<std::pair<int, int>>& windowSizes();

private:
    void setFullScreen(bool on);
    void setDifficulty(int index);
    void setWindowSize(int index);
    void save(const std::vector<SettingsFile::Change>& changes);

    Settings& settings;
    std::shared_ptr<SettingsFile> file;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<Level> level;
    Calls calls;
};
