#include "input/KeyConsumer.h"

#include <algorithm>

void KeyConsumer::consumeDown(byte, int, int) {}
void KeyConsumer::consumeUp(byte, int, int) {}
void KeyConsumer::consumeSpecial(int, int, int) {}

bool KeyConsumer::consumesKey(byte key) const { return std::find(keys.begin(), keys.end(), key) != keys.end(); }

bool KeyConsumer::consumesSpecialKey(int key) const {
    return std::find(specialKeys.begin(), specialKeys.end(), key) != specialKeys.end();
}
