#include "app/Screenshot.h"

#include <GL/glew.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

// The one engine source that compiles stb_image_write's code.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {
bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}
}  // namespace

std::string Screenshot::freeName(const std::string& folder, std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
    const std::string base = (folder.empty() ? std::string() : folder + "/") + "zarvik-" + stamp;
    std::string name = base + ".png";
    for (int n = 2; exists(name); ++n) name = base + "-" + std::to_string(n) + ".png";
    return name;
}

bool Screenshot::save(const std::string& path, int width, int height, unsigned buffer, std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "the window has no pixels";
        return false;
    }
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<unsigned char> pixels(row * static_cast<size_t>(height));
    GLint oldBuffer = 0, oldAlignment = 0;
    glGetIntegerv(GL_READ_BUFFER, &oldBuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &oldAlignment);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows of width x 3 bytes, no padding
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, oldAlignment);
    glReadBuffer(static_cast<GLenum>(oldBuffer));

    // GL's rows run bottom-up, a PNG's top-down.
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(pixels.begin() + y * row, pixels.begin() + (y + 1) * row,
                         pixels.begin() + (height - 1 - y) * row);
    errno = 0;
    if (stbi_write_png(path.c_str(), width, height, 3, pixels.data(), static_cast<int>(row))) return true;
    error = errno ? std::strerror(errno) : "cannot write the file";
    return false;
}
