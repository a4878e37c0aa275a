#include "input/KeyboardProcessor.h"

#include <algorithm>

std::vector<KeyboardProcessor::ConsumerPtr> KeyboardProcessor::consumers;
bool KeyboardProcessor::paused = false;

namespace {
using ConsumerPtr = KeyboardProcessor::ConsumerPtr;

// Whether a consumer claims a plain key or a special key.
auto claimsKey(byte key) {
    return [key](const ConsumerPtr& c) { return c && c->consumesKey(key); };
}
auto claimsSpecialKey(int key) {
    return [key](const ConsumerPtr& c) { return c && c->consumesSpecialKey(key); };
}

template <typename Claims, typename Call>
void dispatch(std::vector<ConsumerPtr>& consumers, Claims claims, Call call) {
    // The list is re-read at every step: consumers may register or unregister
    // others (or themselves) while handling a key. The local copy of the handle
    // keeps a consumer alive until its own handler has returned.
    for (size_t i = 0; i < consumers.size(); ++i) {
        ConsumerPtr consumer = consumers[i];
        if (claims(consumer)) call(*consumer);
    }
}

template <typename Claims>
ConsumerPtr firstFor(const std::vector<ConsumerPtr>& consumers, Claims claims) {
    auto it = std::find_if(consumers.begin(), consumers.end(), claims);
    return it != consumers.end() ? *it : nullptr;
}

// A press goes to a claiming consumer unless the game is paused and the consumer sleeps through pauses.
template <typename Claims>
auto claimsPress(Claims claims, bool paused) {
    return [claims, paused](const ConsumerPtr& c) { return claims(c) && (!paused || c->isActiveWhilePaused()); };
}

template <typename Pred>
void eraseFirst(std::vector<ConsumerPtr>& consumers, Pred pred) {
    auto it = std::find_if(consumers.begin(), consumers.end(), pred);
    if (it != consumers.end()) consumers.erase(it);
}
}  // namespace

void KeyboardProcessor::registerConsumer(ConsumerPtr consumer) {
    if (consumer) consumers.push_back(std::move(consumer));
}

void KeyboardProcessor::unregisterConsumer(const ConsumerPtr& consumer) { unregisterConsumer(consumer.get()); }

void KeyboardProcessor::unregisterConsumer(const KeyConsumer* consumer) {
    eraseFirst(consumers, [consumer](const ConsumerPtr& c) { return c.get() == consumer; });
}

void KeyboardProcessor::unregisterForKey(byte key) { eraseFirst(consumers, claimsKey(key)); }
void KeyboardProcessor::unregisterForSpecialKey(int key) { eraseFirst(consumers, claimsSpecialKey(key)); }

KeyboardProcessor::ConsumerPtr KeyboardProcessor::getForKey(byte key) { return firstFor(consumers, claimsKey(key)); }
KeyboardProcessor::ConsumerPtr KeyboardProcessor::getForSpecialKey(int key) {
    return firstFor(consumers, claimsSpecialKey(key));
}
bool KeyboardProcessor::processesKey(byte key) { return getForKey(key) != nullptr; }
bool KeyboardProcessor::processesSpecialKey(int key) { return getForSpecialKey(key) != nullptr; }

void KeyboardProcessor::processDown(unsigned char key, int x, int y) {
    dispatch(consumers, claimsPress(claimsKey(key), paused), [&](KeyConsumer& c) { c.consumeDown(key, x, y); });
}

void KeyboardProcessor::processUp(unsigned char key, int x, int y) {
    dispatch(consumers, claimsKey(key), [&](KeyConsumer& c) { c.consumeUp(key, x, y); });
}

void KeyboardProcessor::processSpecial(int key, int x, int y) {
    dispatch(consumers, claimsPress(claimsSpecialKey(key), paused),
             [&](KeyConsumer& c) { c.consumeSpecial(key, x, y); });
}

void KeyboardProcessor::setPaused(bool p) { paused = p; }

void KeyboardProcessor::reset() {
    consumers.clear();
    paused = false;
}
