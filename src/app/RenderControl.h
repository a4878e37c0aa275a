#pragma once
#include <memory>
#include <string>

#include "input/KeyConsumer.h"
#include "overlay/TimedTextOverlay.h"

class Renderer;
class Level;

// The debug keys: F1 to F11 and 1 to 6 switch rendering paths and debug
// views, each with a short message on screen; F1 lists every key of the
// game; m mutes and unmutes all sound; F12 saves the current frame as a PNG
// file in the working directory; Escape quits. Every key works while the
// game is paused. Messages and the key list stand on a dark panel.
class RenderControl : public KeyConsumer {
public:
    RenderControl(std::shared_ptr<Renderer> renderer, std::shared_ptr<Level> level);

    std::shared_ptr<TimedTextOverlay> getOverlay() const { return messageOverlay; }
    void consumeDown(byte key, int x, int y) override;
    void consumeSpecial(int key, int x, int y) override;

    // Every key the game answers (app/KeyTable.h) as bound now, shown by F1.
    static std::string helpText();
    bool isHelpShown() const { return helpShown; }
    // A message on the panel for two seconds, in place of the help or the last message.
    void showMessage(const std::string& text);

private:
    // The help's smaller font and line height, or the messages'.
    void useHelpFont(bool help);
    void toggleHelp();
    void switchDrawMode();
    void saveScreenshot();

    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<Level> level;
    std::shared_ptr<TimedTextOverlay> messageOverlay = std::make_shared<TimedTextOverlay>();
    bool wireframe = false;
    bool texturesOn = true;
    bool helpShown = false;
    bool linearFiltering = true;
    bool mipmappingOn = true;
    bool eventSpheresShown = false;
    bool boxesShown = false;
};
