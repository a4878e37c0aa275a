#pragma once
#include <string>
#include <vector>

// Reads a JPEG file into 8-bit RGB texels, bottom row first, with libjpeg's
// default decoding: the very texels DevIL gives for the same file (DevIL
// decodes JPEG through libjpeg with its defaults too).
//
// Unlike DevIL, which keeps one current image for the whole process, it keeps
// no state between calls, so any thread may read while another uses DevIL.
//
// A file it cannot read as it is (missing, not a JPEG, damaged, one channel
// or four, or anything libjpeg only warns about) gives NOT_READ or
// OTHER_FORM and prints nothing: the caller leaves such a file to DevIL,
// which reads it its own way and reports what is wrong.
class JpegReader {
public:
    enum Result { RGB, OTHER_FORM, NOT_READ };

    static Result read(const std::string& path, int& width, int& height, std::vector<unsigned char>& texels);
};
