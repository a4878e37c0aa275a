#include "menu/MenuLayout.h"

#include <algorithm>
#include <cmath>

int MenuLayout::scaled(int size) const { return static_cast<int>(std::lround(size * scale)); }

MenuLayout::MenuLayout(const Menu& menu, int windowWidth, int windowHeight, double s) : scale(s) {
    const int lines = static_cast<int>(menu.lines.size());
    const int entries = static_cast<int>(menu.entries.size());
    // The rows shrink before the panel leaves a small window.
    const int wanted = scaled(TITLE) + lines * scaled(LINE) + entries * scaled(ROW) + scaled(NOTE) + 2 * PAD;
    const int room = std::max(windowHeight - 2 * MARGIN, 1);
    const double fit = wanted > room ? static_cast<double>(room) / wanted : 1.0;
    auto fitted = [&](int size) { return std::max(1, static_cast<int>(std::floor(scaled(size) * fit))); };
    const int title = fitted(TITLE), line = fitted(LINE), row = fitted(ROW), note = fitted(NOTE);
    const int height = title + lines * line + entries * row + note + 2 * PAD;
    const int width = std::min(scaled(WIDTH), std::max(windowWidth - 2 * MARGIN, 1));
    panel.left = (windowWidth - width) / 2;
    panel.right = panel.left + width;
    panel.bottom = std::max((windowHeight - height) / 2, 0);
    panel.top = panel.bottom + height;
    // Baselines sit about a quarter of a line above the line's bottom.
    int y = panel.top - PAD;
    titleBaseline = y - title + title / 4;
    y -= title;
    for (int i = 0; i < lines; ++i, y -= line) lineBaselines.push_back(y - line + line / 4);
    for (int i = 0; i < entries; ++i, y -= row) rows.push_back({panel.left + PAD, y - row, panel.right - PAD, y});
    noteBaseline = y - note + note / 3;
}

int MenuLayout::entryAt(int x, int y) const {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].contains(x, y)) return static_cast<int>(i);
    return -1;
}
