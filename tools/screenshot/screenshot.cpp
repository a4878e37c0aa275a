// zarvik-screenshot FILE.png: saves the whole screen of the current X display
// as a PNG. Used by scripts/play.sh and the end-to-end tests under Xvfb.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "zarvik-screenshot: cannot open the X display\n");
        return 1;
    }
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    const int w = attributes.width, h = attributes.height;
    XImage* image = XGetImage(display, root, 0, 0, w, h, AllPlanes, ZPixmap);
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
