#include "input/KeyboardProcessor.h"

#include <algorithm>

std::vector<KeyboardProcessor::ConsumerPtr> KeyboardProcessor::consumers;

namespace {
template <typename Key, typename Call>
void dispatch(std::vector<KeyboardProcessor::ConsumerPtr>& consumers, Key key, Call call) {
    // The list is re-read at every step: consumers may register or unregister
    // others (or themselves) while handling a key. The local copy of the handle
    // keeps a consumer alive until its own handler has returned.
    for (size_t i = 0; i < consumers.size(); ++i) {
        KeyboardProcessor::ConsumerPtr consumer = consumers[i];
        if (consumer && consumer->consumes(key)) call(*consumer);
    }
}

template <typename Key>
KeyboardProcessor::ConsumerPtr firstFor(const std::vector<KeyboardProcessor::ConsumerPtr>& consumers, Key key) {
    for (const auto& c : consumers)
        if (c->consumes(key)) return c;
    return nullptr;
}

template <typename Pred>
void eraseFirst(std::vector<KeyboardProcessor::ConsumerPtr>& consumers, Pred pred) {
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

void KeyboardProcessor::unregisterForKey(byte key) {
    eraseFirst(consumers, [key](const ConsumerPtr& c) { return c->consumes(key); });
}

void KeyboardProcessor::unregisterForKey(int key) {
    eraseFirst(consumers, [key](const ConsumerPtr& c) { return c->consumes(key); });
}

KeyboardProcessor::ConsumerPtr KeyboardProcessor::getForKey(byte key) { return firstFor(consumers, key); }
KeyboardProcessor::ConsumerPtr KeyboardProcessor::getForKey(int key) { return firstFor(consumers, key); }
bool KeyboardProcessor::processes(byte key) { return getForKey(key) != nullptr; }
bool KeyboardProcessor::processes(int key) { return getForKey(key) != nullptr; }

void KeyboardProcessor::processDown(unsigned char key, int x, int y) {
    dispatch(consumers, static_cast<byte>(key), [&](KeyConsumer& c) { c.consumeDown(key, x, y); });
}

void KeyboardProcessor::processUp(unsigned char key, int x, int y) {
    dispatch(consumers, static_cast<byte>(key), [&](KeyConsumer& c) { c.consumeUp(key, x, y); });
}

void KeyboardProcessor::processSpecial(int key, int x, int y) {
    dispatch(consumers, key, [&](KeyConsumer& c) { c.consumeSpecial(key, x, y); });
}

void KeyboardProcessor::reset() { consumers.clear(); }
