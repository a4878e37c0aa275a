#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A key as GLUT reports it: a plain key character, or a special key code
// (F1..F12 are 1..12, the arrows 100..103).
struct Key {
    bool special = false;
    int code = 0;
    bool operator==(const Key& o) const { return special == o.special && code == o.code; }
    bool operator!=(const Key& o) const { return !(*this == o); }
};

// Everything the player can move to another key. The sign game's arrows
// follow the drive keys of the same direction unless bound apart.
enum class PlayerAction {
    DriveUp, DriveLeft, DriveDown, DriveRight,
    ArrowUp, ArrowLeft, ArrowDown, ArrowRight,
    Reset, Pause, Mute, Screenshot,
    MusicDown, MusicUp, EffectsDown, EffectsUp,
    FullScreen, Minimap, Ghost, NextLevel,
};
constexpr int ACTION_COUNT = static_cast<int>(PlayerAction::NextLevel) + 1;

// The one place where a physical key becomes the game's action. The key
// consumers keep listening to the keys they always had (each action's default
// key); the bindings sit in front of the keyboard processor and hand it the
// default key of the action a pressed key is bound to:
// - a key bound to an action arrives as that action's default key;
// - the default key of an action bound elsewhere does nothing;
// - every other key (Escape, F1 to F11, 1 to 6, ...) arrives as it is.
// A pad or any other input triggers actions directly with press/release.
//
// Binding an action to a key that another action already has (apart from a
// sign-game arrow and the drive key of its direction), or to a key of the
// fixed keys above, is a conflict: settle() gives every action involved its
// default key back and returns a note for each.
class KeyBindings {
public:
    struct ActionInfo {
        PlayerAction action;
        const char* name;  // the entry's name in the settings file's [keys] table
        Key defaultKey;
    };
    static const std::array<ActionInfo, ACTION_COUNT>& actions();
    static const ActionInfo& info(PlayerAction action);
    static std::optional<PlayerAction> actionNamed(const std::string& name);

    // Key names as the settings file writes them: a printable character as
    // itself ("w", "7", ","), and "space", "F1".."F12", "up", "down", "left",
    // "right", "page_up", "page_down", "home", "end", "insert".
    static std::string keyName(Key key);
    static std::optional<Key> keyNamed(const std::string& name);

    // Every action on its default key.
    KeyBindings() = default;

    void bind(PlayerAction action, Key key);
    // Resolves conflicts (see above): a note for each action that went back
    // to its default key.
    struct Note {
        PlayerAction action;
        std::string text;
    };
    std::vector<Note> settle();
    // The key an action answers to now.
    Key keyOf(PlayerAction action) const;
    // What a pressed key hands to the keyboard processor: the default key of
    // its action, the key itself when no action is involved, or nothing when
    // the key's action has moved to another key.
    std::optional<Key> translate(Key pressed) const;

    // The bindings the GLUT callbacks below use; the defaults until set.
    static void use(const KeyBindings& bindings);
    static const KeyBindings& current();

    // GLUT keyboard callbacks: plain key down and up, special key down and up.
    static void processDown(unsigned char key, int x, int y);
    static void processUp(unsigned char key, int x, int y);
    static void processSpecial(int key, int x, int y);
    static void processSpecialUp(int key, int x, int y);

    // Sees every key pressed before it is translated; a key it answers with
    // true goes no further (an open menu takes its keys). Releases always go
    // on, so that no key stays held. None by default.
    using Filter = std::function<bool(Key pressed)>;
    static void setFilter(Filter filter);

    // An action pressed and let go by other means than its key (a pad): the
    // keyboard processor gets the action's default key, as from the keyboard.
    // Special keys have no release; releasing their action does nothing.
    static void press(PlayerAction action);
    static void release(PlayerAction action);

private:
    static bool isFixed(Key key);
    // Two actions that may share one key: a sign-game arrow and the drive key of its direction.
    static bool mayShare(PlayerAction a, PlayerAction b);
    std::optional<PlayerAction> actionOn(Key key) const;

    std::array<std::optional<Key>, ACTION_COUNT> bound{};
};
