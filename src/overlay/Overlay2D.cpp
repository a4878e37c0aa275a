#include "overlay/Overlay2D.h"

void Overlay2D::setWindowDimensions(int w, int h) {
    width = w;
    height = h;
}
