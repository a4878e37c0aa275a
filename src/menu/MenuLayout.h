#pragma once
#include <vector>

#include "menu/Menu.h"

// Where a panel's parts go in a window, in window pixels with the origin at
// the lower left (as the HUD draws): the panel centred, its title, its lines
// of information, one row per entry and the focused entry's description at
// the bottom. Plain numbers, so that the mouse finds the entry under it with
// the same rows the drawer draws.
class MenuLayout {
public:
    struct Rect {
        int left = 0, bottom = 0, right = 0, top = 0;
        bool contains(int x, int y) const { return x >= left && x < right && y >= bottom && y < top; }
    };
    // Sizes at text size 1; a larger text size scales them.
    static constexpr int WIDTH = 540, PAD = 14, TITLE = 40, LINE = 22, ROW = 30, NOTE = 28, MARGIN = 8;

    // scale: the text size (1, 1.5 or 2).
    MenuLayout(const Menu& menu, int windowWidth, int windowHeight, double scale = 1.0);

    Rect panel;
    int titleBaseline = 0;
    std::vector<int> lineBaselines;
    std::vector<Rect> rows;
    int noteBaseline = 0;
    double scale = 1.0;

    // The entry whose row holds window pixel (x, y), y from the bottom; -1 for none.
    int entryAt(int x, int y) const;

private:
    int scaled(int size) const;
};
