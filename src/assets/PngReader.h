#pragma once
#include <string>
#include <vector>

// Reads a PNG file of 8-bit RGBA texels into memory as they are, bottom row
// first: the very texels DevIL gives for the same file (it reads PNG through
// libpng too, and on this system without gamma correction, whatever gamma the
// file states).
//
// Unlike DevIL, which keeps one current image for the whole process, it keeps
// no state between calls, so any thread may read while another uses DevIL.
//
// A file it cannot read as it is (missing, not a PNG, damaged, anything
// libpng warns about) gives NOT_READ, and one of another form (grey, a
// palette, no alpha, 16 bits a channel, interlaced, larger than a texture
// may be) OTHER_FORM; neither prints anything: the caller leaves such a file
// to DevIL, which reads it its own way and reports what is wrong.
class PngReader {
public:
    enum Result { RGBA, OTHER_FORM, NOT_READ };

    static Result read(const std::string& path, int& width, int& height, std::vector<unsigned char>& texels);
};
