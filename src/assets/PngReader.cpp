#include "assets/PngReader.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>

#include <png.h>

namespace {
// The largest side a texture of this GL may have: larger pictures go to DevIL.
constexpr png_uint_32 LARGEST_SIDE = 16384;

struct PngFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// libpng's default handlers print; these jump back to read() instead, and
// count the warnings (a damaged ancillary chunk, say), which leave the file to DevIL.
[[noreturn]] void jumpBack(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void countWarning(png_structp png, png_const_charp) { ++*static_cast<int*>(png_get_error_ptr(png)); }

// What decode() reads into, made before it so that a jump skips no destructor.
struct Target {
    std::vector<unsigned char>& texels;
    std::vector<png_bytep>& rows;
};

// Only plain data lives between setjmp and longjmp. The file is read without
// any transformation, as DevIL reads such a file here (no gamma correction):
// so it is taken only where no transformation would change it.
PngReader::Result decode(png_structp png, png_infop info, const int& warnings, Target target, int& width,
                         int& height) {
    if (setjmp(png_jmpbuf(png))) return PngReader::NOT_READ;
    png_read_info(png, info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
    if (colour != PNG_COLOR_TYPE_RGB_ALPHA || depth != 8 || interlace != PNG_INTERLACE_NONE || w > LARGEST_SIDE ||
        h > LARGEST_SIDE)
        return PngReader::OTHER_FORM;
    png_read_update_info(png, info);
    const std::size_t row = static_cast<std::size_t>(w) * 4;
    target.texels.resize(row * h);
    target.rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y)  // bottom row first: the file's row y goes to h - 1 - y
        target.rows[y] = target.texels.data() + row * (h - 1 - y);
    png_read_image(png, target.rows.data());
    png_read_end(png, nullptr);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return warnings == 0 ? PngReader::RGBA : PngReader::NOT_READ;
}
}  // namespace

PngReader::Result PngReader::read(const std::string& path, int& width, int& height,
                                  std::vector<unsigned char>& texels) {
    texels.clear();
    width = height = 0;
    const std::unique_ptr<std::FILE, PngFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return NOT_READ;
    int warnings = 0;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &warnings, jumpBack, countWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    Result result = NOT_READ;
    std::vector<png_bytep> rows;
    try {
        if (info) {
            png_init_io(png, file.get());
            result = decode(png, info, warnings, Target{texels, rows}, width, height);
        }
    } catch (const std::bad_alloc&) {
        // The texels did not fit in memory: the caller's loader reports it.
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (result != RGBA) {
        texels.clear();
        texels.shrink_to_fit();
        width = height = 0;
    }
    return result;
}
