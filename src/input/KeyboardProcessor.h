#pragma once
#include <memory>
#include <vector>

#include "input/KeyConsumer.h"

// Hands every key event to each registered consumer that wants the key, in
// registration order. The GLUT keyboard callbacks point here.
class KeyboardProcessor {
public:
    using ConsumerPtr = std::shared_ptr<KeyConsumer>;

    static void registerConsumer(ConsumerPtr consumer);
    static void unregisterConsumer(const ConsumerPtr& consumer);
    static void unregisterConsumer(const KeyConsumer* consumer);
    static void unregisterForKey(byte key);
    static void unregisterForKey(int key);

    static ConsumerPtr getForKey(byte key);
    static ConsumerPtr getForKey(int key);
    static bool processes(byte key);
    static bool processes(int key);

    // GLUT callbacks (plain key down and up, special key down).
    static void processDown(unsigned char key, int x, int y);
    static void processUp(unsigned char key, int x, int y);
    static void processSpecial(int key, int x, int y);

    static void reset();

private:
    static std::vector<ConsumerPtr> consumers;
};
