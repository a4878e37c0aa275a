#include "assets/JpegReader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>

namespace {
// libjpeg's default error handler ends the process; this one jumps back to
// read() instead, and its warnings (a damaged stream) are counted, not printed.
struct Errors {
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

[[noreturn]] void jumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<Errors*>(info->err)->back, 1); }
void keepQuiet(j_common_ptr) {}

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Only plain data lives between setjmp and longjmp: no destructor is skipped.
JpegReader::Result decode(std::FILE* file, jpeg_decompress_struct& info, Errors& errors, int& width, int& height,
                          std::vector<unsigned char>& texels) {
    if (setjmp(errors.back)) return JpegReader::NOT_READ;
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.out_color_space != JCS_RGB) return JpegReader::OTHER_FORM;
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    texels.resize(row * static_cast<std::size_t>(height));
    while (info.output_scanline < info.output_height) {
        // Bottom row first: scan line s goes to row height - 1 - s.
        JSAMPROW line = texels.data() + row * (info.output_height - 1 - info.output_scanline);
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    return errors.manager.num_warnings == 0 ? JpegReader::RGB : JpegReader::NOT_READ;
}
}  // namespace

JpegReader::Result JpegReader::read(const std::string& path, int& width, int& height,
                                    std::vector<unsigned char>& texels) {
    texels.clear();
    width = height = 0;
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) return NOT_READ;
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);  // destroyable whatever the point decode() stops at
    Errors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    errors.manager.output_message = keepQuiet;
    Result result = NOT_READ;
    try {
        result = decode(file.get(), info, errors, width, height, texels);
    } catch (const std::bad_alloc&) {
        // The texels did not fit in memory: the caller's loader reports it.
    }
    jpeg_destroy_decompress(&info);
    if (result != RGB) {
        texels.clear();
        texels.shrink_to_fit();
        width = height = 0;
    }
    return result;
}
