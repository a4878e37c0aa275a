#include "app/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include <toml++/toml.h>

#include "game/AtomicFile.h"
#include "game/Difficulty.h"

namespace {

struct IntEntry {
    const char* table;
    const char* key;
    int Settings::*field;
    int min, max;
};
struct FlagEntry {
    const char* table;
    const char* key;
    bool Settings::*field;
};

struct TextEntry {
    const char* table;
    const char* key;
    std::string Settings::*field;
};

constexpr int MAX_SIZE = Settings::MAX_WINDOW_SIZE;
const IntEntry intEntries[] = {
    {"window", "width", &Settings::windowWidth, 1, MAX_SIZE},
    {"window", "height", &Settings::windowHeight, 1, MAX_SIZE},
    {"window", "x", &Settings::windowX, -MAX_SIZE, MAX_SIZE},
    {"window", "y", &Settings::windowY, -MAX_SIZE, MAX_SIZE},
    {"sound", "music", &Settings::musicVolume, 0, 100},
    {"sound", "effects", &Settings::effectsVolume, 0, 100},
    {"gamepad", "dead_zone", &Settings::deadZone, 0, Settings::MAX_DEAD_ZONE},
};
const FlagEntry flagEntries[] = {
    {"window", "full_screen", &Settings::fullScreen},
    {"window", "multisampling", &Settings::multisampling},
    {"window", "detail_savings", &Settings::detailSavings},
    {"sound", "mute", &Settings::mute},
    {"view", "minimap", &Settings::minimap},
    {"view", "ghost", &Settings::ghost},
    {"view", "detail_texture", &Settings::detailTexture},
};
const TextEntry textEntries[] = {
    {"game", "level", &Settings::level},
};

bool isKnown(const std::string& table, const std::string& key) {
    if (table == "window" && (key == "resolution" || key == "target_ms")) return true;
    if (table == "game" && key == "difficulty") return true;
    for (const IntEntry& e : intEntries)
        if (table == e.table && key == e.key) return true;
    for (const FlagEntry& e : flagEntries)
        if (table == e.table && key == e.key) return true;
    for (const TextEntry& e : textEntries)
        if (table == e.table && key == e.key) return true;
    return table == "keys" && KeyBindings::actionNamed(key);
}

bool isKnownTable(const std::string& table) {
    return table == "window" || table == "sound" || table == "keys" || table == "gamepad" || table == "view" ||
           table == "game";
}

std::string textOf(const toml::node& node) {
    std::ostringstream out;
    node.visit([&](const auto& n) { out << n; });
    return out.str();
}

std::string quoted(const std::string& s) {
    std::ostringstream out;
    out << toml::value<std::string>(s);
    return out.str();
}

std::string textOf(const SettingsFile::Value& value) {
    if (auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
    if (auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
    return quoted(std::get<std::string>(value));
}

// "file:line: "
std::string where(const std::string& path, const toml::node& node) {
    return path + ":" + std::to_string(node.source().begin.line) + ": ";
}

// Reads the entries of one kind from the parsed file into settings.
class EntryReader {
public:
    EntryReader(const std::string& path, const toml::table& root, Settings& settings,
                std::vector<std::string>& notes)
        : path(path), root(root), settings(settings), notes(notes) {}

    void readNumbers() {
        for (const IntEntry& e : intEntries) {
            const toml::node* node = root[e.table][e.key].node();
            if (!node) continue;
            int& field = settings.*e.field;
            const auto value = node->value_exact<std::int64_t>();
            if (!value) notes.push_back(where(path, *node) + e.key + " = " + textOf(*node) +
                                        " is not a whole number, using " + std::to_string(field));
            else if (*value < e.min || *value > e.max)
                notes.push_back(where(path, *node) + e.key + " = " + textOf(*node) + " is not within " +
                                std::to_string(e.min) + " and " + std::to_string(e.max) + ", using " +
                                std::to_string(field));
            else field = static_cast<int>(*value);
        }
    }

    void readFlags() {
        for (const FlagEntry& e : flagEntries) {
            const toml::node* node = root[e.table][e.key].node();
            if (!node) continue;
            bool& field = settings.*e.field;
            if (const auto value = node->value_exact<bool>()) field = *value;
            else notes.push_back(where(path, *node) + e.key + " = " + textOf(*node) +
                                 " is neither true nor false, using " + (field ? "true" : "false"));
        }
    }

    void readTexts() {
        for (const TextEntry& e : textEntries) {
            const toml::node* node = root[e.table][e.key].node();
            if (!node) continue;
            std::string& field = settings.*e.field;
            if (const auto value = node->value_exact<std::string>()) field = *value;
            else notes.push_back(where(path, *node) + e.key + " = " + textOf(*node) + " is no text in quotes, using \"" +
                                 field + "\"");
        }
    }

    // "auto" or "full".
    void readResolution() {
        const toml::node* node = root["window"]["resolution"].node();
        if (!node) return;
        const auto value = node->value_exact<std::string>();
        if (value && (*value == "auto" || *value == "full")) settings.resolution = *value;
        else notes.push_back(where(path, *node) + "resolution = " + textOf(*node) +
                             " is neither \"auto\" nor \"full\", using \"" + settings.resolution + "\"");
    }

    // "easy", "normal" or "hard".
    void readDifficulty() {
        const toml::node* node = root["game"]["difficulty"].node();
        if (!node) return;
        const auto value = node->value_exact<std::string>();
        if (value && Difficulty::named(*value)) settings.difficulty = *value;
        else notes.push_back(where(path, *node) + "difficulty = " + textOf(*node) + " is none of " +
                             Difficulty::names() + ", using \"" + settings.difficulty + "\"");
    }

    // A time in ms, whole or not; not a number, zero, negative or absurd gives the default.
    void readTargetMs() {
        const toml::node* node = root["window"]["target_ms"].node();
        if (!node) return;
        const auto value = node->value<double>();  // also a whole number
        char fallback[32];
        std::snprintf(fallback, sizeof fallback, "%g", settings.targetMs);
        if (!value || !node->is_number())
            notes.push_back(where(path, *node) + "target_ms = " + textOf(*node) + " is not a number, using " + fallback);
        else if (!(*value >= Settings::MIN_TARGET_MS && *value <= Settings::MAX_TARGET_MS))
            notes.push_back(where(path, *node) + "target_ms = " + textOf(*node) + " is not within 1 and 1000, using " +
                            fallback);
        else settings.targetMs = *value;
    }

    // Valid bindings first, then the conflicts among them, then the notes of
    // the names that are no keys: each says the key the action has in the end.
    void readKeys() {
        const toml::table* keys = root["keys"].as_table();
        if (!keys) return;
        std::vector<std::pair<PlayerAction, const toml::node*>> bad;
        std::vector<const toml::node*> lineOf(ACTION_COUNT, nullptr);
        for (const auto& [name, node] : *keys) {
            const auto action = KeyBindings::actionNamed(std::string(name.str()));
            if (!action) continue;  // an unknown entry, noted with the others
            lineOf[static_cast<int>(*action)] = &node;
            const auto text = node.value_exact<std::string>();
            const auto key = text ? KeyBindings::keyNamed(*text) : std::nullopt;
            if (key) settings.keys.bind(*action, *key);
            else bad.emplace_back(*action, &node);
        }
        for (const auto& note : settings.keys.settle())
            notes.push_back(where(path, *lineOf[static_cast<int>(note.action)]) + note.text);
        for (const auto& [action, node] : bad)
            notes.push_back(where(path, *node) + KeyBindings::info(action).name + " = " + textOf(*node) +
                            " is no key name, using \"" + KeyBindings::keyName(settings.keys.keyOf(action)) + "\"");
    }

    void noteUnknownEntries() {
        for (const auto& [tableName, tableNode] : root) {
            const std::string table(tableName.str());
            const toml::table* entries = tableNode.as_table();
            if (!isKnownTable(table) || !entries) {
                notes.push_back(where(path, tableNode) + "unknown entry " + table + ", left as it is");
                continue;
            }
            for (const auto& [key, node] : *entries)
                if (!isKnown(table, std::string(key.str())))
                    notes.push_back(where(path, node) + "unknown entry " + table + "." + std::string(key.str()) +
                                    ", left as it is");
        }
    }

private:
    const std::string& path;
    const toml::table& root;
    Settings& settings;
    std::vector<std::string>& notes;
};

// The byte offset of a line (1-based) and column (1-based, in characters) of text.
std::size_t offsetOf(const std::string& text, std::size_t line, std::size_t column) {
    std::size_t at = 0;
    for (std::size_t l = 1; l < line && at < text.size(); ++l) {
        at = text.find('\n', at);
        at = at == std::string::npos ? text.size() : at + 1;
    }
    for (std::size_t c = 1; c < column && at < text.size(); ++c) {
        ++at;  // one character: its first byte and any UTF-8 continuation bytes
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return at;
}

// The offset just after the given line (1-based), at the start of the next.
std::size_t endOfLine(const std::string& text, std::size_t line) {
    const std::size_t at = text.find('\n', offsetOf(text, line, 1));
    return at == std::string::npos ? text.size() : at + 1;
}

std::optional<toml::table> parse(const std::string& text, const std::string& path) {
    try {
        return toml::parse(std::string_view(text), std::string_view(path));
    } catch (const toml::parse_error&) {
        return std::nullopt;
    }
}

bool holds(const toml::table& root, const SettingsFile::Change& change) {
    const toml::node_view<const toml::node> node = root[change.table][change.key];
    return std::visit([&](const auto& v) { return node == v; }, change.value);
}

}  // namespace

SettingsFile::SettingsFile(std::string p) : path(std::move(p)) {}

std::string SettingsFile::defaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/zarvik/settings.toml";
    const char* home = std::getenv("HOME");
    if (home && home[0]) return std::string(home) + "/.config/zarvik/settings.toml";
    return "";
}

SettingsFile::Read SettingsFile::readText(std::string& text) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // No file, also when a file stands where its folder should be.
        if (errno == ENOENT || errno == ENOTDIR) return Read::MISSING;
        note("cannot read " + path + " (" + std::strerror(errno) + ")");
        return Read::FAILED;
    }
    struct stat info {};
    std::string problem;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) problem = "not a file";
    text.assign(MAX_FILE_SIZE + 1, '\0');
    std::size_t size = 0;
    while (problem.empty() && size < text.size()) {
        const ssize_t n = read(fd, &text[size], text.size() - size);
        if (n < 0) problem = std::strerror(errno);
        if (n <= 0) break;
        size += static_cast<std::size_t>(n);
    }
    close(fd);
    text.resize(size);
    if (problem.empty() && size > MAX_FILE_SIZE) problem = "larger than 1 MB";
    if (problem.empty()) return Read::OK;
    note("cannot read " + path + " (" + problem + ")");
    return Read::FAILED;
}

Settings SettingsFile::load() {
    notes.clear();
    readFailed = false;
    Settings settings;
    std::string text;
    const Read read = readText(text);
    if (read == Read::MISSING) {
        note("no settings file " + path + " yet, using the defaults");
        return settings;
    }
    if (read == Read::FAILED) {
        readFailed = true;
        notes.back() += ", using the defaults and leaving the file alone";
        return settings;
    }
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        note(path + " is empty, using the defaults");
        return settings;
    }
    toml::table root;
    try {
        root = toml::parse(std::string_view(text), std::string_view(path));
    } catch (const toml::parse_error& e) {
        readFailed = true;
        note(path + ":" + std::to_string(e.source().begin.line) + ": " + std::string(e.description()) +
             ", using the defaults and leaving the file alone");
        return settings;
    }
    EntryReader reader(path, root, settings, notes);
    reader.readNumbers();
    reader.readFlags();
    reader.readTexts();
    reader.readResolution();
    reader.readDifficulty();
    reader.readTargetMs();
    reader.readKeys();
    reader.noteUnknownEntries();
    return settings;
}

std::optional<std::string> SettingsFile::edit(const std::string& text, const Change& change) {
    const auto root = parse(text, "");
    if (!root) return std::nullopt;
    const std::string value = textOf(change.value);
    std::string result = text;
    const toml::node* table = (*root)[change.table].node();
    const toml::node* entry = (*root)[change.table][change.key].node();
    if (entry && entry->source().begin.line == entry->source().end.line) {
        // The value's own characters on its line; what follows it (a comment) stays.
        const auto& where = entry->source();
        const std::size_t from = offsetOf(text, where.begin.line, where.begin.column);
        const std::size_t to = offsetOf(text, where.end.line, where.end.column);
        result.replace(from, to - from, value);
    } else if (!entry && table && table->is_table()) {
        // A new line after the last line of the table's entries, or after its heading.
        std::size_t last = table->source().begin.line;
        for (const auto& [key, node] : *table->as_table()) last = std::max<std::size_t>(last, node.source().end.line);
        const std::size_t at = endOfLine(text, last);
        // The last line of a file may have no line break of its own.
        const bool lineEnded = at > 0 && text[at - 1] == '\n';
        result.insert(at, (lineEnded ? "" : "\n") + change.key + " = " + value + "\n");
    } else if (!table) {
        if (!result.empty() && result.back() != '\n') result += '\n';
        result += "\n[" + change.table + "]\n" + change.key + " = " + value + "\n";
    }
    // Whatever the text looked like, the result must read back with the new value.
    const auto check = parse(result, "");
    if (!check || !holds(*check, change)) return std::nullopt;
    return result;
}

bool SettingsFile::save(const std::vector<Change>& changes) {
    notes.clear();
    if (readFailed) {
        note(path + " could not be read at start and is left alone");
        return false;
    }
    std::string text;
    const Read read = readText(text);
    if (read == Read::FAILED) {
        notes.back() += ", leaving it alone";
        return false;
    }
    if (read == Read::MISSING) text = Settings::defaultText();
    for (const Change& change : changes) {
        auto edited = edit(text, change);
        if (!edited) {
            note("cannot set " + change.table + "." + change.key + " = " + textOf(change.value) + " in " + path +
                 " (not valid TOML now, or not a plain entry), leaving it alone");
            return false;
        }
        text = std::move(*edited);
    }
    if (AtomicFile::write(path, text)) return true;
    note("cannot write " + path + " (" + std::strerror(errno) + ")");
    return false;
}

