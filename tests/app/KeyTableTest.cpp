#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "app/CommandLine.h"
#include "app/KeyTable.h"
#include "app/LevelSwitch.h"
#include "app/RenderControl.h"
#include "app/Renderer.h"
#include "app/SettingsControl.h"
#include "game/Level.h"
#include "game/LevelControl.h"
#include "overlay/Minimap.h"
#include "vehicles/CarControl.h"

namespace {

// The words of a text with every run of spaces and line breaks made one space.
std::string words(const std::string& text) {
    std::istringstream in(text);
    std::string out;
    for (std::string word; in >> word;) out += (out.empty() ? "" : " ") + word;
    return out;
}

// What follows the first line that starts with heading, up to the end.
std::string after(const std::string& text, const std::string& heading) {
    const size_t at = text.find(heading);
    return at == std::string::npos ? "" : text.substr(at + heading.size());
}

}  // namespace

// The table against the keys the game's consumers really claim (the sign
// game claims w, a, s, d as the car control does): every claimed key has its
// row, and every row's key is claimed.
TEST(KeyTable, ListsEveryKeyTheGameAnswersAndNoOther) {
    auto level = std::make_shared<Level>();
    const std::vector<std::shared_ptr<KeyConsumer>> consumers = {
        std::make_shared<RenderControl>(std::make_shared<Renderer>(), level),
        std::make_shared<LevelControl>(level), std::make_shared<CarControl>(nullptr),
        std::make_shared<SettingsControl>(nullptr, nullptr, nullptr),
        std::make_shared<LevelSwitch>("", std::weak_ptr<RenderControl>(), [](LevelDescription) {})};
    std::set<int> listed, listedSpecial;
    for (const KeyRow& row : KeyTable::rows()) {
        for (const char key : row.keys) listed.insert(static_cast<unsigned char>(key));
        listedSpecial.insert(row.specialKeys.begin(), row.specialKeys.end());
    }
    for (int key = 0; key < 256; ++key) {
        const bool plain = std::any_of(consumers.begin(), consumers.end(),
                                       [&](const auto& c) { return c->consumesKey(static_cast<byte>(key)); });
        const bool special = std::any_of(consumers.begin(), consumers.end(),
                                         [&](const auto& c) { return c->consumesSpecialKey(key); });
        EXPECT_EQ(plain, listed.count(key) == 1) << "key " << key;
        EXPECT_EQ(special, listedSpecial.count(key) == 1) << "special key " << key;
    }
}

// README.md's table, --help and the F1 help carry the same rows, word for
// word, and F1 and README.md the minimap's legend; the two texts keep to
// their widths: a terminal's 80 columns, and 96 characters of the 8 pixel
// font in an 800 pixel window.
TEST(KeyTable, ReadmeHelpAndF1ShowTheSameRows) {
    const char* source = std::getenv("ZARVIK_SOURCE_DIR");
    ASSERT_TRUE(source) << "ZARVIK_SOURCE_DIR names the source folder";
    std::ifstream file(std::string(source) + "/README.md");
    ASSERT_TRUE(file);
    const std::string readme((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string table = after(readme, "## Keys and mouse\n\n");
    EXPECT_EQ(table.substr(0, table.find("\n\n") + 1), KeyTable::markdown());

    std::string rows;
    for (const KeyRow& row : KeyTable::rows()) rows += row.input + " " + row.effect + " ";
    const std::string help = after(helpText(), "keys and mouse:\n");
    std::string f1 = after(RenderControl::helpText(), "Keys:\n");
    // The minimap's legend follows the keys in F1 and the key table in README.md.
    const size_t legendAt = f1.find("Minimap, north up:");
    ASSERT_NE(legendAt, std::string::npos);
    EXPECT_EQ(f1.substr(legendAt), Minimap::legendText(96));
    f1 = f1.substr(0, legendAt);
    for (const auto& entry : Minimap::legend())
        EXPECT_NE(readme.find(std::string("| ") + entry.marker + " | " + entry.meaning + " |"), std::string::npos)
            << entry.marker;
    // The minimap's key, in each of the three.
    EXPECT_NE(words(help).find("n show or hide the minimap"), std::string::npos);
    EXPECT_NE(words(f1).find("n show or hide the minimap"), std::string::npos);
    EXPECT_NE(table.find("| n | show or hide the minimap"), std::string::npos);
    EXPECT_EQ(words(help), words(rows));
    EXPECT_EQ(words(f1), words(rows));
    for (const auto& [text, width] : {std::pair{help, 80u}, std::pair{f1, 96u}}) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), width) << line;
    }
    // A row's effect begins in the effect column, after its input.
    EXPECT_NE(f1.find("\n  F11                 draw everything in full"), std::string::npos) << f1;
}
