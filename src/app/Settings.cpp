#include "app/Settings.h"

std::string Settings::defaultText() {
    const Settings d;
    auto flag = [](bool b) { return std::string(b ? "true" : "false"); };
    std::string text =
        "# Zarvik's settings. The game reads this file at start (options on the\n"
        "# command line win for that run) and writes the entries it changes back\n"
        "# into it: the volume keys, the full-screen key, a resized window at exit.\n"
        "# Comments, the order and entries the game does not know stay as they are.\n"
        "\n"
        "[window]\n"
        "width = " + std::to_string(d.windowWidth) + "          # pixels, 1 to 16384\n"
        "height = " + std::to_string(d.windowHeight) + "\n"
        "x = " + std::to_string(d.windowX) + "              # the window's place on the screen\n"
        "y = " + std::to_string(d.windowY) + "\n"
        "full_screen = " + flag(d.fullScreen) + "    # the full-screen key switches it\n"
        "multisampling = " + flag(d.multisampling) + "   # four samples per pixel: smoother edges, slower\n"
        "detail_savings = " + flag(d.detailSavings) + "  # F11's savings where they do not show\n"
        "resolution = \"" + d.resolution + "\"   # \"auto\": the world drawn smaller and scaled up when frames\n"
        "                      # are slower than target_ms; \"full\": always at the window's size\n"
        "target_ms = 16.7      # ms, 1 to 1000\n"
        "\n"
        "[sound]\n"
        "music = " + std::to_string(d.musicVolume) + "          # per cent, 0 to 100\n"
        "effects = " + std::to_string(d.effectsVolume) + "\n"
        "mute = " + flag(d.mute) + "\n"
        "\n"
        "# One key per action: a character (\"w\", \"7\", \",\"), \"space\", \"F1\" to \"F12\",\n"
        "# \"up\", \"down\", \"left\", \"right\", \"page_up\", \"page_down\", \"home\", \"end\", \"insert\".\n"
        "# Escape, F1 to F11 and 1 to 6 keep their own meaning. The sign game's arrows\n"
        "# follow the drive keys unless set apart.\n"
        "[keys]\n";
    for (const auto& action : KeyBindings::actions()) {
        const std::string entry = std::string(action.name) + " = \"" + KeyBindings::keyName(action.defaultKey) + "\"\n";
        const bool arrow = action.action >= PlayerAction::ArrowUp && action.action <= PlayerAction::ArrowRight;
        text += arrow ? "# " + entry : entry;
    }
    text +=
        "\n"
        "[gamepad]\n"
        "dead_zone = " + std::to_string(d.deadZone) + "      # per cent of a stick's travel, 0 to 90\n"
        "\n"
        "[view]\n"
        "minimap = " + flag(d.minimap) + "       # the minimap and the speedometer; n switches them\n"
        "ghost = " + flag(d.ghost) + "         # the ghost of the best race; g switches it\n"
        "detail_texture = " + flag(d.detailTexture) + "  # the near ground's grain\n"
        "\n"
        "[game]\n"
        "level = \"" + d.level + "\"      # the level played last: a name in levels/ or a level file\n"
        "difficulty = \"" + d.difficulty + "\"  # \"easy\": slower pursuers that see less, shorter rows, longer items;\n"
        "                      # \"hard\": faster pursuers that see farther, shorter items\n";
    return text;
}
