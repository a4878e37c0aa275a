#include "app/LevelSwitch.h"

#include <cstdio>

#include "levels/LevelCatalog.h"

LevelSwitch::LevelSwitch(std::string running, std::weak_ptr<RenderControl> m, Chosen c)
    : current(std::move(running)), messages(std::move(m)), chosen(std::move(c)) {
    keys = {'l'};
    activeWhilePaused = true;
}

void LevelSwitch::consumeDown(byte key, int, int) {
    if (key != 'l') return;
    current = LevelCatalog::next(current);
    std::vector<std::string> errors;
    std::optional<LevelDescription> level = LevelCatalog::read(current, errors);
    if (level) {
        std::printf("\n LevelSwitch: loading the level %s", current.c_str());
        chosen(std::move(*level));
        return;
    }
    const std::string why = "Level " + current + " refused: " + (errors.empty() ? "unreadable" : errors.front());
    std::printf("\n LevelSwitch: %s", why.c_str());
    for (const std::string& e : errors) std::printf("\n   %s", e.c_str());
    if (auto control = messages.lock()) control->showMessage(why);
}
