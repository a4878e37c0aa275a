#include "gl/TextPainter.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include "gl/ExtensionManager.h"

int TextPainter::textheight = 24;

void TextPainter::drawstr(int x, int y, void* font, const std::string& text) {
    ExtensionManager::__glewWindowPos2i(x, y);
    for (const char c : text) {
        if (c == '\n') {
            y -= textheight;
            ExtensionManager::__glewWindowPos2i(x, y);
        } else {
            glutBitmapCharacter(font, static_cast<unsigned char>(c));
        }
    }
}

void TextPainter::drawstr(float x, float y, float z, void* font, const std::string& text) {
    glRasterPos3f(x, y, z);
    for (const char c : text) glutBitmapCharacter(font, static_cast<unsigned char>(c));
}
