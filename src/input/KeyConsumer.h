#pragma once
#include <vector>

using byte = unsigned char;

// Something that reacts to keys. Subclasses list the plain keys (GLUT key
// characters; upper and lower case differ) and special keys (GLUT codes: F1..F12
// are 1..12, arrows 100..103) they want in their constructors.
//
// The two kinds of key are asked for under different names: plain key 'd' and
// special key 100 (left arrow) share a code, and a char literal would select
// an int overload without a word.
class KeyConsumer {
public:
    virtual ~KeyConsumer() = default;

    virtual void consumeDown(byte key, int x, int y);
    virtual void consumeUp(byte key, int x, int y);
    virtual void consumeSpecial(int key, int x, int y);

    bool consumesKey(byte key) const;
    bool consumesSpecialKey(int key) const;
    // Whether presses still reach this consumer while the game is paused.
    bool isActiveWhilePaused() const { return activeWhilePaused; }

protected:
    std::vector<byte> keys;
    std::vector<int> specialKeys;
    // Game keys (driving, the sign game) stay off during a pause; the pause
    // key itself, the level reset and the debug keys set this.
    bool activeWhilePaused = false;
};
