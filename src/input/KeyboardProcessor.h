#pragma once
#include <memory>
#include <vector>

#include "input/KeyConsumer.h"

// Hands every key event to each registered consumer that wants the key, in
// registration order. GLUT's keyboard callbacks reach it through the
// player's key bindings (KeyBindings).
class KeyboardProcessor {
public:
    using ConsumerPtr = std::shared_ptr<KeyConsumer>;

    static void registerConsumer(ConsumerPtr consumer);
    static void unregisterConsumer(const ConsumerPtr& consumer);
    static void unregisterConsumer(const KeyConsumer* consumer);
    // Plain keys and special keys go by different names (see KeyConsumer).
    // Each acts on the first registered consumer that claims the key.
    static void unregisterForKey(byte key);
    static void unregisterForSpecialKey(int key);

    static ConsumerPtr getForKey(byte key);
    static ConsumerPtr getForSpecialKey(int key);
    static bool processesKey(byte key);
    static bool processesSpecialKey(int key);

    // GLUT callbacks (plain key down and up, special key down).
    static void processDown(unsigned char key, int x, int y);
    static void processUp(unsigned char key, int x, int y);
    static void processSpecial(int key, int x, int y);

    // While paused, presses (plain and special) reach only the consumers
    // active while paused; releases reach every consumer, so that a key let
    // go during the pause does not stay held down afterwards.
    static void setPaused(bool paused);
    static bool isPaused() { return paused; }

    // Unregisters every consumer and ends a pause.
    static void reset();

private:
    static std::vector<ConsumerPtr> consumers;
    static bool paused;
};
