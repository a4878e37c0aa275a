#include "menu/MenuDrawer.h"

#include <GL/freeglut.h>

#include <string>

#include "gl/ColouredTriangles.h"
#include "gl/PixelProjection.h"

namespace {
// The fonts of the atlas: the title, the entries and lines, the description.
constexpr std::size_t TITLE_FONT = 0, ENTRY_FONT = 1, NOTE_FONT = 2;
constexpr float LIGHT_TEXT[3] = {1.0f, 1.0f, 1.0f};
constexpr float LIGHT_GREY[3] = {0.82f, 0.84f, 0.88f};
constexpr float VALUE_YELLOW[3] = {1.0f, 0.88f, 0.55f};
constexpr int FRAME_WIDTH = 2;
constexpr int MARKER_ROOM = 24;  // the marker's place before a label

int textWidth(std::size_t font, const std::string& text) {
    static void* const fonts[] = {GLUT_BITMAP_TIMES_ROMAN_24, GLUT_BITMAP_HELVETICA_18, GLUT_BITMAP_HELVETICA_12};
    return glutBitmapLength(fonts[font], reinterpret_cast<const unsigned char*>(text.c_str()));
}
}  // namespace

MenuDrawer::MenuDrawer(std::shared_ptr<const MenuStack> s)
    : stack(std::move(s)), texts({GLUT_BITMAP_TIMES_ROMAN_24, GLUT_BITMAP_HELVETICA_18, GLUT_BITMAP_HELVETICA_12}) {}

void MenuDrawer::paint() {
    const Menu* menu = stack ? stack->top() : nullptr;
    if (!visible || !menu) return;
    const MenuLayout layout(*menu, width, height, scale);
    const PixelProjection pixels;
    paintShapes(*menu, layout);
    addTexts(*menu, layout);
    texts.drawAdded();
}

void MenuDrawer::paintShapes(const Menu& menu, const MenuLayout& layout) {
    ColouredTriangles shapes(vertices);
    const MenuLayout::Rect& p = layout.panel;
    shapes.colour(PANEL[0], PANEL[1], PANEL[2], PANEL[3]);
    shapes.rect(p.left, p.bottom, p.right, p.top);
    const int focus = menu.focus();
    if (focus >= 0 && focus < static_cast<int>(layout.rows.size())) {
        const MenuLayout::Rect& r = layout.rows[static_cast<std::size_t>(focus)];
        shapes.colour(FRAME[0], FRAME[1], FRAME[2]);
        shapes.rect(r.left, r.bottom, r.right, r.top);
        shapes.colour(FOCUS[0], FOCUS[1], FOCUS[2]);
        shapes.rect(r.left + FRAME_WIDTH, r.bottom + FRAME_WIDTH, r.right - FRAME_WIDTH, r.top - FRAME_WIDTH);
        // The marker: a small triangle pointing at the label.
        const float mid = (r.bottom + r.top) * 0.5f, size = (r.top - r.bottom) * 0.22f;
        shapes.colour(FRAME[0], FRAME[1], FRAME[2]);
        shapes.triangle(r.left + 8, mid - size, r.left + 8 + 1.6f * size, mid, r.left + 8, mid + size);
    }
    shapes.draw();
}

void MenuDrawer::addTexts(const Menu& menu, const MenuLayout& layout) {
    const int left = layout.panel.left + MenuLayout::PAD;
    texts.add(TITLE_FONT, left, layout.titleBaseline, menu.title, LIGHT_TEXT[0], LIGHT_TEXT[1], LIGHT_TEXT[2]);
    for (std::size_t i = 0; i < layout.lineBaselines.size(); ++i)
        texts.add(ENTRY_FONT, left, layout.lineBaselines[i], menu.lines[i], LIGHT_GREY[0], LIGHT_GREY[1],
                  LIGHT_GREY[2]);
    for (std::size_t i = 0; i < layout.rows.size(); ++i) {
        const MenuLayout::Rect& r = layout.rows[i];
        const MenuEntry& entry = menu.entries[i];
        const int baseline = r.bottom + (r.top - r.bottom) / 4 + 2;
        texts.add(ENTRY_FONT, r.left + MARKER_ROOM, baseline, entry.label, LIGHT_TEXT[0], LIGHT_TEXT[1], LIGHT_TEXT[2]);
        const bool waiting = stack->awaitsKey() && static_cast<int>(i) == menu.focus();
        const std::string value = waiting ? "press a key..." : entry.valueText();
        if (!value.empty())
            texts.add(ENTRY_FONT, r.right - 10 - textWidth(ENTRY_FONT, value), baseline, value, VALUE_YELLOW[0],
                      VALUE_YELLOW[1], VALUE_YELLOW[2]);
    }
    if (const MenuEntry* focused = menu.focusedEntry())
        texts.add(NOTE_FONT, left, layout.noteBaseline, focused->description, LIGHT_GREY[0], LIGHT_GREY[1],
                  LIGHT_GREY[2]);
}
