#pragma once
#include <vector>

using byte = unsigned char;

// Something that reacts to keys. Subclasses list the plain keys (GLUT key
// characters; upper and lower case differ) and special keys (GLUT codes: F1..F12
// are 1..12, arrows 100..103) they want in their constructors.
class KeyConsumer {
public:
    virtual ~KeyConsumer() = default;

    virtual void consumeDown(byte key, int x, int y);
    virtual void consumeUp(byte key, int x, int y);
    virtual void consumeSpecial(int key, int x, int y);

    bool consumes(byte key) const;
    bool consumes(int key) const;

protected:
    std::vector<byte> keys;
    std::vector<int> specialKeys;
};
