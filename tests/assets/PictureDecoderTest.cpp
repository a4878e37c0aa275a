// The picture reader's thread against the one taking its pictures. The test
// needs nothing but the reader and libjpeg (no GL, no DevIL), so that it also
// runs as it stands under ThreadSanitizer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "assets/PictureDecoder.h"
#include "support/TempFolder.h"

namespace {

struct Rgb {
    int r, g, b;
};

// A JPEG of one colour, written with libjpeg at quality 95.
bool writeJpeg(const std::string& path, int width, int height, Rgb colour) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_compress(&jpeg);
    jpeg_stdio_dest(&jpeg, file);
    jpeg.image_width = static_cast<JDIMENSION>(width);
    jpeg.image_height = static_cast<JDIMENSION>(height);
    jpeg.input_components = 3;
    jpeg.in_color_space = JCS_RGB;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, 95, TRUE);
    jpeg_start_compress(&jpeg, TRUE);
    std::vector<JSAMPLE> row;
    for (int x = 0; x < width; ++x)
        row.insert(row.end(), {static_cast<JSAMPLE>(colour.r), static_cast<JSAMPLE>(colour.g), static_cast<JSAMPLE>(colour.b)});
    while (jpeg.next_scanline < jpeg.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&jpeg, rows, 1);
    }
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    return std::fclose(file) == 0;
}

// Picture k of a set: sides of powers of two that no other picture of the
// set has (512 to 64 wide, 128 to 4 high, the first ones the largest, so
// that the reader takes a while over them), and a colour of its own, red
// 10 k + 10; `second` marks the set written over the first (blue 220, not 40).
struct Picture {
    std::string path;
    int width, height;
    Rgb colour;
};
constexpr int COUNT = 24;

std::vector<Picture> writeSet(const TempFolder& folder, bool second) {
    std::vector<Picture> set;
    for (int k = 0; k < COUNT; ++k) {
        Picture p{(folder / ("picture" + std::to_string(k) + ".jpg")).string(), 512 >> (k % 4), 128 >> (k / 4),
                  Rgb{10 * k + 10, 100, second ? 220 : 40}};
        EXPECT_TRUE(writeJpeg(p.path, p.width, p.height, p.colour)) << p.path;
        set.push_back(p);
    }
    return set;
}

// Whether a picture taken for `asked` is that very picture: its path, its
// sides, and its texels (or, where the reader built them, its 16-bit
// mipmaps' first level) of its colour, within JPEG's few levels.
testing::AssertionResult isPicture(const std::optional<DecodedPicture>& taken, const Picture& asked) {
    if (!taken) return testing::AssertionFailure() << "nothing for " << asked.path;
    if (taken->path != asked.path) return testing::AssertionFailure() << "asked for " << asked.path << ", got " << taken->path;
    if (!taken->loaded || taken->width != asked.width || taken->height != asked.height)
        return testing::AssertionFailure() << asked.path << ": " << taken->width << " x " << taken->height << ", "
                                           << (taken->loaded ? "" : "not ") << "loaded";
    auto near = [](int a, int b, int within) { return std::abs(a - b) <= within; };
    if (taken->mipmaps) {
        if (!taken->texels.empty()) return testing::AssertionFailure() << asked.path << ": texels kept beside the mipmaps";
        const std::vector<std::uint16_t> level = taken->mipmaps->level(0);
        const int r5 = (asked.colour.r * 31 + 127) / 255, g6 = (asked.colour.g * 63 + 127) / 255,
                  b5 = (asked.colour.b * 31 + 127) / 255;
        for (const std::uint16_t texel : level)
            if (!near(texel >> 11, r5, 1) || !near((texel >> 5) & 63, g6, 1) || !near(texel & 31, b5, 1))
                return testing::AssertionFailure() << asked.path << ": a mipmap texel " << texel << " of another colour";
        return testing::AssertionSuccess();
    }
    if (taken->texels.size() != static_cast<size_t>(asked.width) * asked.height * 3)
        return testing::AssertionFailure() << asked.path << ": " << taken->texels.size() << " bytes of texels";
    for (size_t i = 0; i < taken->texels.size(); i += 3)
        if (!near(taken->texels[i], asked.colour.r, 4) || !near(taken->texels[i + 1], asked.colour.g, 4) ||
            !near(taken->texels[i + 2], asked.colour.b, 4))
            return testing::AssertionFailure() << asked.path << ": texel " << i / 3 << " is " << int(taken->texels[i])
                                               << ", " << int(taken->texels[i + 1]) << ", " << int(taken->texels[i + 2]);
    return testing::AssertionSuccess();
}

}  // namespace

// However the pictures are asked for, taken and forgotten, take(a) gives a's
// picture or nothing, never another's: many queued and taken in any order,
// with and without mipmaps, one taken while the reader is still behind, and
// after clear() (a picture being read then is not handed out later, and one
// asked for again is read again from its file as it is now).
TEST(PictureDecoder, HandsOutOnlyThePictureOfThePathAskedFor) {
    TempFolder folder("decoder");
    ASSERT_FALSE(folder.path().empty());
    const std::vector<Picture> first = writeSet(folder, false);
    std::vector<std::string> paths;
    for (const Picture& p : first) paths.push_back(p.path);

    PictureDecoder decoder;
    // All queued, taken from the last to the first; each once.
    decoder.request(paths, false);
    for (int k = COUNT - 1; k >= 0; --k) EXPECT_TRUE(isPicture(decoder.take(paths[k]), first[k])) << k;
    for (int k = 0; k < COUNT; ++k) EXPECT_FALSE(decoder.take(paths[k])) << "taken already: " << k;

    // With mipmaps, the odd ones first; the last asked for at once, while
    // the reader is behind (it hands that one over without mipmaps).
    decoder.request(paths, true);
    EXPECT_TRUE(isPicture(decoder.take(paths[COUNT - 1]), first[COUNT - 1]));
    for (int k = 1; k < COUNT - 1; k += 2) EXPECT_TRUE(isPicture(decoder.take(paths[k]), first[k])) << k;
    EXPECT_FALSE(decoder.take(folder / "never asked for.jpg"));
    EXPECT_FALSE(decoder.take(""));
    for (int k = 0; k < COUNT - 1; k += 2) EXPECT_TRUE(isPicture(decoder.take(paths[k]), first[k])) << k;

    // Forgotten while the reader is at work on the next picture: nothing
    // of what was asked for before comes out, not even once the files are
    // written anew and asked for again: the pictures as the files hold them now.
    decoder.request(paths, false);
    const std::optional<DecodedPicture> zero = decoder.take(paths[0]);
    decoder.clear();  // the reader is at picture 1 by now, as a rule
    EXPECT_TRUE(isPicture(zero, first[0]));
    for (int k = 1; k < COUNT; k += 5) EXPECT_FALSE(decoder.take(paths[k])) << "forgotten: " << k;
    const std::vector<Picture> second = writeSet(folder, true);
    decoder.request(paths, false);
    for (int k = 0; k < COUNT; ++k) EXPECT_TRUE(isPicture(decoder.take(paths[k]), second[k])) << k;
    // Asked for again at once, while the reader may still be at the picture
    // it was reading for the time before: each is read (again) and handed out.
    decoder.request(paths, false);
    const std::optional<DecodedPicture> again = decoder.take(paths[0]);
    decoder.clear();
    decoder.request(paths, false);
    EXPECT_TRUE(isPicture(again, second[0]));
    for (int k = 0; k < COUNT; ++k) EXPECT_TRUE(isPicture(decoder.take(paths[k]), second[k])) << k;

    // Asked for twice before the reader gets to it: read once, handed out once.
    decoder.request({paths[3], paths[3], paths[7]}, false);
    decoder.request({paths[7], paths[3]}, true);
    EXPECT_TRUE(isPicture(decoder.take(paths[7]), second[7]));
    EXPECT_TRUE(isPicture(decoder.take(paths[3]), second[3]));
    EXPECT_FALSE(decoder.take(paths[3]));
    EXPECT_FALSE(decoder.take(paths[7]));
}
