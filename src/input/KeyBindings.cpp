#include "input/KeyBindings.h"

#include "input/KeyboardProcessor.h"

namespace {
constexpr Key plain(char c) { return {false, static_cast<unsigned char>(c)}; }
constexpr Key special(int code) { return {true, code}; }

constexpr int F1 = 1, F11 = 11, F12 = 12;
constexpr unsigned char ESCAPE = 27;

const std::array<KeyBindings::ActionInfo, ACTION_COUNT> table = {{
    {PlayerAction::DriveUp, "drive_up", plain('w')},
    {PlayerAction::DriveLeft, "drive_left", plain('a')},
    {PlayerAction::DriveDown, "drive_down", plain('s')},
    {PlayerAction::DriveRight, "drive_right", plain('d')},
    {PlayerAction::ArrowUp, "arrow_up", plain('w')},
    {PlayerAction::ArrowLeft, "arrow_left", plain('a')},
    {PlayerAction::ArrowDown, "arrow_down", plain('s')},
    {PlayerAction::ArrowRight, "arrow_right", plain('d')},
    {PlayerAction::Reset, "reset", plain('r')},
    {PlayerAction::Pause, "pause", plain('p')},
    {PlayerAction::Mute, "mute", plain('m')},
    {PlayerAction::Screenshot, "screenshot", special(F12)},
    {PlayerAction::MusicDown, "music_down", plain('7')},
    {PlayerAction::MusicUp, "music_up", plain('8')},
    {PlayerAction::EffectsDown, "effects_down", plain('9')},
    {PlayerAction::EffectsUp, "effects_up", plain('0')},
    {PlayerAction::FullScreen, "full_screen", plain('f')},
    {PlayerAction::Minimap, "minimap", plain('n')},
    {PlayerAction::Ghost, "ghost", plain('g')},
    {PlayerAction::NextLevel, "next_level", plain('l')},
}};

// Named special keys (GLUT codes) besides F1..F12.
struct NamedKey {
    const char* name;
    int code;
};
constexpr NamedKey specialNames[] = {{"left", 100},     {"up", 101},  {"right", 102}, {"down", 103},
                                     {"page_up", 104},  {"page_down", 105}, {"home", 106},
                                     {"end", 107},      {"insert", 108}};

bool isDrive(PlayerAction a) { return a <= PlayerAction::DriveRight; }
bool isArrow(PlayerAction a) { return a >= PlayerAction::ArrowUp && a <= PlayerAction::ArrowRight; }
int index(PlayerAction a) { return static_cast<int>(a); }

KeyBindings theBindings;

// Hands a key down (or up) to the keyboard processor as the kind of key it is.
void dispatch(Key key, bool down) {
    if (!key.special) {
        if (down) KeyboardProcessor::processDown(static_cast<unsigned char>(key.code), 0, 0);
        else KeyboardProcessor::processUp(static_cast<unsigned char>(key.code), 0, 0);
    } else if (down) {
        KeyboardProcessor::processSpecial(key.code, 0, 0);
    }
}

KeyBindings::Filter keyFilter;

void forward(Key pressed, bool down) {
    if (down && keyFilter && keyFilter(pressed)) return;
    if (auto key = theBindings.translate(pressed)) dispatch(*key, down);
}
}  // namespace

const std::array<KeyBindings::ActionInfo, ACTION_COUNT>& KeyBindings::actions() { return table; }
const KeyBindings::ActionInfo& KeyBindings::info(PlayerAction action) { return table[index(action)]; }

std::optional<PlayerAction> KeyBindings::actionNamed(const std::string& name) {
    for (const ActionInfo& a : table)
        if (name == a.name) return a.action;
    return std::nullopt;
}

std::string KeyBindings::keyName(Key key) {
    if (!key.special) return key.code == ' ' ? "space" : std::string(1, static_cast<char>(key.code));
    if (key.code >= F1 && key.code <= F12) return "F" + std::to_string(key.code);
    for (const NamedKey& k : specialNames)
        if (k.code == key.code) return k.name;
    return "special " + std::to_string(key.code);
}

std::optional<Key> KeyBindings::keyNamed(const std::string& name) {
    if (name == "space") return plain(' ');
    // Printable characters other than the space stand for themselves.
    if (name.size() == 1 && name[0] > ' ' && name[0] < 127) return plain(name[0]);
    for (int f = F1; f <= F12; ++f)
        if (name == "F" + std::to_string(f)) return special(f);
    for (const NamedKey& k : specialNames)
        if (name == k.name) return special(k.code);
    return std::nullopt;
}

void KeyBindings::bind(PlayerAction action, Key key) { bound[index(action)] = key; }

Key KeyBindings::keyOf(PlayerAction action) const {
    if (const auto& key = bound[index(action)]) return *key;
    if (isArrow(action)) return keyOf(static_cast<PlayerAction>(index(action) - index(PlayerAction::ArrowUp)));
    return info(action).defaultKey;
}

// Escape, F1 to F11 and 1 to 6 do what they do whatever the bindings say.
bool KeyBindings::isFixed(Key key) {
    if (key.special) return key.code >= F1 && key.code <= F11;
    return key.code == ESCAPE || (key.code >= '1' && key.code <= '6');
}

bool KeyBindings::mayShare(PlayerAction a, PlayerAction b) {
    if (isArrow(a)) std::swap(a, b);
    return isDrive(a) && isArrow(b) && index(b) - index(PlayerAction::ArrowUp) == index(a);
}

std::vector<KeyBindings::Note> KeyBindings::settle() {
    std::vector<Note> notes;
    // Each round gives every action in a conflict its default back; the
    // defaults are free of conflicts, so the rounds come to an end.
    for (;;) {
        std::vector<Note> round;
        for (int i = 0; i < ACTION_COUNT; ++i) {
            const PlayerAction a = table[i].action;
            const Key key = keyOf(a);
            std::string clash = isFixed(key) ? "kept for its own use" : "";
            for (int j = 0; j < ACTION_COUNT && clash.empty(); ++j) {
                const PlayerAction b = table[j].action;
                if (i != j && !mayShare(a, b) && keyOf(b) == key) clash = std::string("already the key of ") + table[j].name;
            }
            if (clash.empty() || !bound[i] || *bound[i] == table[i].defaultKey) continue;
            round.push_back({a, "key \"" + keyName(key) + "\" of " + table[i].name + " is " + clash});
        }
        if (round.empty()) return notes;
        for (Note& note : round) {
            bound[index(note.action)].reset();
            note.text += ", using \"" + keyName(keyOf(note.action)) + "\"";
        }
        notes.insert(notes.end(), round.begin(), round.end());
    }
}

std::optional<PlayerAction> KeyBindings::actionOn(Key key) const {
    for (const ActionInfo& a : table)
        if (keyOf(a.action) == key) return a.action;
    return std::nullopt;
}

std::optional<Key> KeyBindings::translate(Key pressed) const {
    if (auto action = actionOn(pressed)) return info(*action).defaultKey;
    // A default key whose action went elsewhere has no meaning left.
    for (const ActionInfo& a : table)
        if (a.defaultKey == pressed) return std::nullopt;
    return pressed;
}

void KeyBindings::use(const KeyBindings& bindings) { theBindings = bindings; }
const KeyBindings& KeyBindings::current() { return theBindings; }

void KeyBindings::processDown(unsigned char key, int, int) { forward(plain(static_cast<char>(key)), true); }
void KeyBindings::processUp(unsigned char key, int, int) { forward(plain(static_cast<char>(key)), false); }
void KeyBindings::processSpecial(int key, int, int) { forward(special(key), true); }
void KeyBindings::processSpecialUp(int key, int, int) { forward(special(key), false); }

void KeyBindings::setFilter(Filter filter) { keyFilter = std::move(filter); }

void KeyBindings::press(PlayerAction action) { dispatch(info(action).defaultKey, true); }
void KeyBindings::release(PlayerAction action) { dispatch(info(action).defaultKey, false); }
