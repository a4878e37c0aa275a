#pragma once
#include <memory>

#include "input/KeyConsumer.h"

class RenderControl;
class Renderer;
class SettingsFile;

// The keys that change a lasting setting: the music and the effects volume
// down and up by 10 per cent (7 / 8 and 9 / 0), full screen on or off (f),
// each with a message on the render control's panel ("Music 60 %"); m, after
// the render control has muted or unmuted the sound; n and g, after the
// level's keys have shown or hidden the minimap and the ghost. Each change is
// written into the settings file at once (when there is one to write).
// Every key works while the game is paused.
class SettingsControl : public KeyConsumer {
public:
    // file may be null: the changes then last until the game ends.
    SettingsControl(std::shared_ptr<RenderControl> messages, std::shared_ptr<Renderer> renderer,
                    std::shared_ptr<SettingsFile> file);

    void consumeDown(byte key, int x, int y) override;

private:
    void changeMusic(int step);
    void changeEffects(int step);
    void toggleFullScreen();
    template <typename T>
    void save(const char* table, const char* key, T value);

    std::shared_ptr<RenderControl> messages;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<SettingsFile> file;
};
