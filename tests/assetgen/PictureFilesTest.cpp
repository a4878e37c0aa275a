// The pictures: each decodes with DevIL at its size, and each looks as its
// use needs (transparent edges for sprites, a right-pointing arrow, yellow
// plates with black words, seamless clouds, words on the boards).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "AssetKit.h"

namespace {

kit::Picture picture(const std::string& name) {
    kit::Picture p;
    EXPECT_TRUE(kit::loadPicture(kit::kitFolder() / name, p)) << name;
    return p;
}

int alpha(const kit::Picture& p, int x, int y) { return p.at(x, y)[3]; }

TEST(PictureFiles, EveryPictureDecodesAtItsSize) {
    struct Expect {
        const char* name;
        int width, height;
        bool alpha;
    };
    const Expect pictures[] = {
        {"images/loading.jpg", 1024, 768, false},   {"images/objecthalo.png", 128, 128, true},
        {"images/arrow.png", 128, 128, true},       {"images/policestar.png", 128, 128, true},
        {"images/loser.png", 1024, 512, true},      {"images/got_sign.png", 1024, 512, true},
        {"images/unmount_error.png", 1024, 512, true}, {"images/sign_finished.png", 1024, 512, true},
        {"images/winner.png", 1024, 512, true},     {"images/unfinished.png", 1024, 512, true},
        {"images/BigGlow.png", 256, 256, true},     {"images/Streaks.png", 256, 256, true},
        {"images/Halo.png", 256, 256, true},        {"images/HardGlow.png", 256, 256, true},
        {"images/clouds.png", 512, 512, true},      {"models/item_booze.png", 128, 128, true},
        {"models/item_tool.png", 128, 128, true},   {"models/item_engine.png", 128, 128, true},
        {"models/item_decease.png", 128, 128, true}, {"models/item_overkill.png", 128, 128, true},
        {"models/tafel_text_humtschach.png", 512, 256, false}, {"models/tafel_text_ratschitschach.png", 512, 256, false},
        {"models/tafel_text_smihel.png", 512, 256, false},     {"models/tafel_text_gotschuchn.png", 512, 256, false},
    };
    for (const Expect& e : pictures) {
        kit::Picture p = picture(e.name);
        EXPECT_EQ(p.width, e.width) << e.name;
        EXPECT_EQ(p.height, e.height) << e.name;
        EXPECT_EQ(p.bytesPerPixel, e.alpha ? 4 : 3) << e.name;
    }
}

TEST(PictureFiles, GlowSpritesFadeOutBeforeTheirEdges) {
    for (const char* name : {"images/objecthalo.png", "images/BigGlow.png", "images/Streaks.png", "images/Halo.png",
                             "images/HardGlow.png"}) {
        SCOPED_TRACE(name);
        kit::Picture p = picture(name);
        int edge = 0, peak = 0;
        for (int i = 0; i < p.width; ++i) {
            edge = std::max({edge, alpha(p, i, 0), alpha(p, i, p.height - 1), alpha(p, 0, i), alpha(p, p.width - 1, i)});
            peak = std::max(peak, alpha(p, i, p.height / 2));
        }
        EXPECT_LE(edge, 2) << "a hard border would show round the sprite";
        EXPECT_GT(peak, 120);
    }
}

TEST(PictureFiles, ArrowPointsRightAndIsMirrorSymmetricTopToBottom) {
    kit::Picture p = picture("images/arrow.png");
    // The opaque height of each column: the head's base is the widest, the
    // tip reaches far right on the middle row, the shaft is narrow.
    std::vector<int> height(p.width, 0);
    long asymmetry = 0, total = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            int a = alpha(p, x, y);
            height[x] += a > 200;
            asymmetry += std::abs(a - alpha(p, x, p.height - 1 - y));
            total += a;
        }
    int widest = static_cast<int>(std::max_element(height.begin(), height.end()) - height.begin());
    int firstOpaque = static_cast<int>(std::find_if(height.begin(), height.end(), [](int h) { return h > 0; }) - height.begin());
    EXPECT_GT(widest, p.width / 2) << "the head is on the right";
    EXPECT_LT(height[firstOpaque + 4] * 2, height[widest]) << "the tail end is the narrow shaft";
    int tipX = 0;
    for (int x = 0; x < p.width; ++x)
        if (alpha(p, x, p.height / 2) > 200) tipX = x;
    EXPECT_GT(tipX, p.width * 3 / 4);
    EXPECT_LT(asymmetry, total / 20) << "turned by 180 degrees it must mirror exactly";
}

TEST(PictureFiles, TownPlatesAreYellowWithABlackBorderAndBlackLetters) {
    for (const char* town : {"humtschach", "ratschitschach", "smihel", "gotschuchn"}) {
        SCOPED_TRACE(town);
        kit::Picture p = picture(std::string("models/tafel_text_") + town + ".png");
        long yellow = 0, black = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const uint8_t* c = p.at(x, y);
                if (c[0] > 200 && c[1] > 160 && c[2] < 90) ++yellow;
                if (c[0] < 70 && c[1] < 70 && c[2] < 70) ++black;
            }
        const long all = static_cast<long>(p.width) * p.height;
        EXPECT_GT(yellow, all / 2);
        EXPECT_GT(black, all / 10) << "border and name";
        // The border runs round the plate; the middle row holds letters.
        EXPECT_LT(p.at(18, p.height / 2)[0], 70);
        EXPECT_LT(p.at(p.width - 19, p.height / 2)[0], 70);
        EXPECT_GT(p.at(6, 6)[0], 200) << "the plate's yellow reaches its edge";
        int darkInMiddle = 0;
        for (int x = 40; x < p.width - 40; ++x) darkInMiddle += p.at(x, p.height / 2)[0] < 70;
        EXPECT_GT(darkInMiddle, 20);
    }
}

// Each board is a rounded panel with light words on it, different per board.
TEST(PictureFiles, MessageBoardsAreRoundedPanelsWithWords) {
    std::vector<long> signatures;
    for (const char* name : {"images/loser.png", "images/got_sign.png", "images/unmount_error.png",
                             "images/sign_finished.png", "images/winner.png", "images/unfinished.png"}) {
        SCOPED_TRACE(name);
        kit::Picture p = picture(name);
        EXPECT_EQ(alpha(p, 0, 0), 0) << "rounded corners are transparent";
        EXPECT_GT(alpha(p, p.width / 2, p.height / 2), 200) << "the panel is nearly opaque";
        long light = 0, signature = 0;
        for (int y = p.height / 4; y < p.height * 3 / 4; ++y)
            for (int x = p.width / 3; x < p.width - 40; ++x) {
                const uint8_t* c = p.at(x, y);
                if (c[0] > 200 && c[1] > 200 && c[2] > 200) {
                    ++light;
                    signature += x * 7 + y;
                }
            }
        EXPECT_GT(light, 8000) << "no words drawn";
        for (long s : signatures) EXPECT_NE(s, signature);
        signatures.push_back(signature);
    }
}

TEST(PictureFiles, PoliceStarIsLightEnoughToBeTintedRed) {
    kit::Picture p = picture("images/policestar.png");
    long sum = 0, count = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (alpha(p, x, y) > 200) {
                sum += p.at(x, y)[0];
                ++count;
            }
    ASSERT_GT(count, 2000);
    EXPECT_GT(sum / count, 170) << "a red material multiplies the picture's red channel";
}

TEST(PictureFiles, CloudsTileSeamlesslyAndLeaveBlueSky) {
    kit::Picture p = picture("images/clouds.png");
    double inner = 0, seamX = 0, seamY = 0;
    long clear = 0, thick = 0;
    for (int i = 0; i < p.height; ++i) {
        inner += std::abs(alpha(p, p.width / 2, i) - alpha(p, p.width / 2 + 1, i));
        seamX += std::abs(alpha(p, p.width - 1, i) - alpha(p, 0, i));
        seamY += std::abs(alpha(p, i, p.height - 1) - alpha(p, i, 0));
    }
    EXPECT_LT(seamX, 3 * inner + p.height);
    EXPECT_LT(seamY, 3 * inner + p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            clear += alpha(p, x, y) < 10;
            thick += alpha(p, x, y) > 128;
        }
    const long all = static_cast<long>(p.width) * p.height;
    EXPECT_GT(clear, all / 5);
    EXPECT_GT(thick, all / 10);
}

// The HUD shows the icons over the scene: a round badge, clear outside it.
TEST(PictureFiles, ItemIconsAreRoundBadgesOnAClearBackground) {
    for (const char* item : {"booze", "tool", "engine", "decease", "overkill"}) {
        SCOPED_TRACE(item);
        kit::Picture p = picture(std::string("models/item_") + item + ".png");
        const int c = p.width / 2;
        for (auto [x, y] : {std::pair{0, 0}, {p.width - 1, 0}, {0, p.height - 1}, {p.width - 1, p.height - 1}})
            EXPECT_EQ(alpha(p, x, y), 0);
        for (auto [x, y] : {std::pair{c, c}, {c - 40, c}, {c + 40, c}, {c, c - 40}, {c, c + 40}}) EXPECT_EQ(alpha(p, x, y), 255);
    }
}

}  // namespace
