#include "app/MenuBridge.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <iterator>

#include "app/Renderer.h"
#include "assets/DetailTexture.h"
#include "audio/AudioManager.h"
#include "game/DemoLevel.h"
#include "game/Difficulty.h"
#include "game/GhostChoice.h"
#include "game/Level.h"

MenuBridge::MenuBridge(Settings& s, std::shared_ptr<SettingsFile> f, std::shared_ptr<Renderer> r,
                       std::shared_ptr<Level> l, Calls c)
    : settings(s), file(std::move(f)), renderer(std::move(r)), level(std::move(l)), calls(std::move(c)) {}

const std::vector<std::pair<int, int>>& MenuBridge::windowSizes() {
    static const std::vector<std::pair<int, int>> sizes = {
        {640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}};
    return sizes;
}

int MenuBridge::setting(MenuSetting which) const {
    switch (which) {
        case MenuSetting::MUSIC: return AudioManager::getMusicVolume();
        case MenuSetting::EFFECTS: return AudioManager::getEffectsVolume();
        case MenuSetting::MUTE: return AudioManager::isAllMuted();
        case MenuSetting::FULL_SCREEN: return renderer->fullScreen || renderer->gameMode;
        case MenuSetting::WINDOW_SIZE: {
            const auto& sizes = windowSizes();
            for (std::size_t i = 0; i < sizes.size(); ++i)
                if (sizes[i].first == renderer->windowWidth && sizes[i].second == renderer->windowHeight)
                    return static_cast<int>(i);
            return 1;  // another size: shown as the default's
        }
        case MenuSetting::MULTISAMPLING: return settings.multisampling;
        case MenuSetting::DETAIL_TEXTURE: return DetailTexture::enabled;
        case MenuSetting::MINIMAP: return level->isMinimapShown();
        case MenuSetting::GHOST: return GhostChoice::shown();
        case MenuSetting::DEAD_ZONE: return settings.deadZone;
        case MenuSetting::DIFFICULTY:
            for (std::size_t i = 0; i < std::size(Difficulty::ALL); ++i)
                if (settings.difficulty == Difficulty::ALL[i]->name) return static_cast<int>(i);
            return 1;
    }
    return 0;
}

void MenuBridge::changeSetting(MenuSetting which, int value) {
    const bool on = value != 0;
    switch (which) {
        case MenuSetting::MUSIC:
            AudioManager::setMusicVolume(value);
            return save({{"sound", "music", std::int64_t{AudioManager::getMusicVolume()}}});
        case MenuSetting::EFFECTS:
            AudioManager::setEffectsVolume(value);
            return save({{"sound", "effects", std::int64_t{AudioManager::getEffectsVolume()}}});
        case MenuSetting::MUTE:
            AudioManager::muteAll(on);
            return save({{"sound", "mute", on}});
        case MenuSetting::FULL_SCREEN: return setFullScreen(on);
        case MenuSetting::WINDOW_SIZE: return setWindowSize(value);
        case MenuSetting::MULTISAMPLING:
            settings.multisampling = on;  // the window's samples are chosen as it opens: the next game
            return save({{"window", "multisampling", on}});
        case MenuSetting::DETAIL_TEXTURE:
            DetailTexture::enabled = on;
            settings.detailTexture = on;
            return save({{"view", "detail_texture", on}});
        case MenuSetting::MINIMAP:
            level->setMinimapShown(on);
            return save({{"view", "minimap", on}});
        case MenuSetting::GHOST:
            if (auto race = level->getGhostRace()) race->setShown(on);
            GhostChoice::keep(on);
            return save({{"view", "ghost", on}});
        case MenuSetting::DEAD_ZONE:
            settings.deadZone = value;
            if (calls.deadZone) calls.deadZone(settings.padDeadZone());
            return save({{"gamepad", "dead_zone", std::int64_t{value}}});
        case MenuSetting::DIFFICULTY: return setDifficulty(value);
    }
}

// The level takes it at its next reset: a race under way keeps the pursuers
// and the rows it started with, and a message says when the change comes.
void MenuBridge::setDifficulty(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(Difficulty::ALL))) return;
    const Difficulty& chosen = *Difficulty::ALL[index];
    settings.difficulty = chosen.name;
    if (auto demo = std::dynamic_pointer_cast<DemoLevel>(level)) {
        demo->setDifficulty(chosen);
        if (&demo->getRaceDifficulty() != &chosen && calls.message)
            calls.message(std::string("Difficulty ") + chosen.name + " from the next restart (r)");
    }
    save({{"game", "difficulty", std::string(chosen.name)}});
}

void MenuBridge::setFullScreen(bool on) {
    if (renderer->gameMode || renderer->fullScreen == on) return;
    renderer->toggleFullScreen();
    save({{"window", "full_screen", renderer->fullScreen}});
}

// The window takes the size at once (leaving full screen for it); its
// entries are written now rather than at the end of the game.
void MenuBridge::setWindowSize(int index) {
    const auto& sizes = windowSizes();
    if (index < 0 || index >= static_cast<int>(sizes.size())) return;
    const auto [w, h] = sizes[static_cast<std::size_t>(index)];
    if (renderer->fullScreen) setFullScreen(false);
    if (!renderer->gameMode) glutReshapeWindow(w, h);
    save({{"window", "width", std::int64_t{w}}, {"window", "height", std::int64_t{h}}});
}

void MenuBridge::keepBindings(const KeyBindings& bindings, const std::vector<PlayerAction>& changed) {
    settings.keys = bindings;
    KeyBindings::use(bindings);
    std::vector<SettingsFile::Change> changes;
    for (PlayerAction action : changed)
        changes.push_back({"keys", KeyBindings::info(action).name, KeyBindings::keyName(bindings.keyOf(action))});
    save(changes);
}

void MenuBridge::save(const std::vector<SettingsFile::Change>& changes) {
    if (!file || changes.empty()) return;
    if (!file->save(changes))
        for (const std::string& line : file->messages()) std::printf("\n Settings: WARNING! %s", line.c_str());
    std::fflush(stdout);
}
