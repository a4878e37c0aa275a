// zarvik-screenshot FILE.png [WINDOW]: saves the whole screen of the current
// X display, or only the part a window covers (WINDOW is its X id, decimal or
// 0x hex, as xdotool prints it), as a PNG. Used by scripts/play.sh and the
// end-to-end tests under Xvfb.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
struct Area {
    int x = 0, y = 0, w = 0, h = 0;
};

// The screen area a window covers, cut to the screen; empty when the id is
// no window. The picture is read from the screen rather than from the window
// itself: what shows there is what the player sees.
Area windowArea(Display* display, Window root, const char* id) {
    char* end = nullptr;
    const unsigned long window = std::strtoul(id, &end, 0);
    XWindowAttributes screen, attributes;
    int x = 0, y = 0;
    Window child;
    if (!end || *end != '\0' || window == 0 || !XGetWindowAttributes(display, root, &screen) ||
        !XGetWindowAttributes(display, window, &attributes) ||
        !XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child))
        return {};
    Area area;
    area.x = std::max(x, 0);
    area.y = std::max(y, 0);
    area.w = std::min(x + attributes.width, screen.width) - area.x;
    area.h = std::min(y + attributes.height, screen.height) - area.y;
    return area.w > 0 && area.h > 0 ? area : Area{};
}

// Reports X errors (a bad window id) as a failed lookup instead of ending the program.
int ignoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s FILE.png [WINDOW]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "zarvik-screenshot: cannot open the X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXError);
    Window root = DefaultRootWindow(display);
    Area area;
    if (argc == 3) {
        area = windowArea(display, root, argv[2]);
        if (area.w == 0) {
            std::fprintf(stderr, "zarvik-screenshot: no window %s on the screen\n", argv[2]);
            XCloseDisplay(display);
            return 1;
        }
    } else {
        XWindowAttributes attributes;
        XGetWindowAttributes(display, root, &attributes);
        area.w = attributes.width;
        area.h = attributes.height;
    }
    const int w = area.w, h = area.h;
    XImage* image = XGetImage(display, root, area.x, area.y, w, h, AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "zarvik-screenshot: cannot read the screen\n");
        XCloseDisplay(display);
        return 1;
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            unsigned char* out = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            out[0] = static_cast<unsigned char>((p & image->red_mask) >> 16);
            out[1] = static_cast<unsigned char>((p & image->green_mask) >> 8);
            out[2] = static_cast<unsigned char>(p & image->blue_mask);
        }
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    if (!stbi_write_png(argv[1], w, h, 3, rgb.data(), w * 3)) {
        std::fprintf(stderr, "zarvik-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
