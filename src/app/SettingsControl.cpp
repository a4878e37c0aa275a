#include "app/SettingsControl.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

#include "app/RenderControl.h"
#include "app/Renderer.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "audio/AudioManager.h"
#include "game/GhostChoice.h"
#include "game/MinimapChoice.h"

namespace {
constexpr byte MUSIC_DOWN = '7', MUSIC_UP = '8', EFFECTS_DOWN = '9', EFFECTS_UP = '0';
constexpr byte FULL_SCREEN = 'f', MUTE = 'm', MINIMAP = 'n', GHOST = 'g';
}  // namespace

SettingsControl::SettingsControl(std::shared_ptr<RenderControl> m, std::shared_ptr<Renderer> r,
                                 std::shared_ptr<SettingsFile> f)
    : messages(std::move(m)), renderer(std::move(r)), file(std::move(f)) {
    keys = {MUSIC_DOWN, MUSIC_UP, EFFECTS_DOWN, EFFECTS_UP, FULL_SCREEN, MUTE, MINIMAP, GHOST};
    activeWhilePaused = true;
}

void SettingsControl::consumeDown(byte key, int, int) {
    switch (key) {
        case MUSIC_DOWN: changeMusic(-Settings::VOLUME_STEP); break;
        case MUSIC_UP: changeMusic(Settings::VOLUME_STEP); break;
        case EFFECTS_DOWN: changeEffects(-Settings::VOLUME_STEP); break;
        case EFFECTS_UP: changeEffects(Settings::VOLUME_STEP); break;
        case FULL_SCREEN: toggleFullScreen(); break;
        // The render control registered first has muted or unmuted already.
        case MUTE: save("sound", "mute", AudioManager::isAllMuted()); break;
        // The level's keys, registered before, have switched these already.
        case MINIMAP: save("view", "minimap", MinimapChoice::shown()); break;
        case GHOST: save("view", "ghost", GhostChoice::shown()); break;
        default: break;
    }
}

void SettingsControl::changeMusic(int step) {
    AudioManager::setMusicVolume(AudioManager::getMusicVolume() + step);
    messages->showMessage("Music " + std::to_string(AudioManager::getMusicVolume()) + " %");
    save("sound", "music", AudioManager::getMusicVolume());
}

void SettingsControl::changeEffects(int step) {
    AudioManager::setEffectsVolume(AudioManager::getEffectsVolume() + step);
    messages->showMessage("Effects " + std::to_string(AudioManager::getEffectsVolume()) + " %");
    save("sound", "effects", AudioManager::getEffectsVolume());
}

void SettingsControl::toggleFullScreen() {
    if (renderer->gameMode) {
        messages->showMessage("full screen in game mode: the window key does nothing...");
        return;
    }
    renderer->toggleFullScreen();
    messages->showMessage(renderer->fullScreen ? "full screen..." : "window...");
    save("window", "full_screen", renderer->fullScreen);
}

template <typename T>
void SettingsControl::save(const char* table, const char* key, T value) {
    if (!file) return;
    SettingsFile::Value v;
    if constexpr (std::is_same_v<T, bool>) v = value;
    else v = static_cast<std::int64_t>(value);
    if (!file->save({{table, key, v}}))
        for (const std::string& line : file->messages()) std::printf("\n Settings: WARNING! %s", line.c_str());
    std::fflush(stdout);
}
