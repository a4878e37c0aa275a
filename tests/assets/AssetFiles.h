#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

// Files that the asset tests write for themselves, and console capture.
namespace AssetFiles {

// Starts DevIL the way the game does: with the first texture made.
void startDevIL();
// Empties DevIL's error queue without printing, so that errors a test caused
// on purpose do not show up in the next test.
void drainDevILErrors();

void writeText(const std::string& path, const std::string& text);

// Writes a w x h picture of one colour (the format follows the file name's
// extension, e.g. .png or .jpg). DevIL must have been started (any Texture does).
void writePicture(const std::string& path, int w, int h, unsigned char r, unsigned char g, unsigned char b);
// Writes a w x h RGB picture; rgb holds 3 bytes per pixel, row by row in
// DevIL's order (its first row is the bottom row of the picture).
void writeRgbPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& rgb);
// Writes a w x h greyscale picture, rows as every picture viewer shows them:
// values[row * w + column], row 0 is the top of the picture. PNG is written
// without DevIL; a path ending in .jpg gets a one-channel JPEG.
void writeGreyPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& values);
// The same for RGB, 3 bytes per pixel, as PNG or (for .jpg) JPEG.
void writeTopDownRgbPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& rgb);
// The same for RGBA, 4 bytes per pixel, as PNG.
void writeTopDownRgbaPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& rgba);

// A folder of the game's data written by the asset kit (ZARVIK_GAME_DIR/<name>);
// empty when it is not there.
std::string gameDataDir(const std::string& name);

// A picture reader (JpegReader, PngReader) refusing a file: the result
// expected, nothing printed, and neither texels nor a size left behind.
template <typename Reader>
void expectRefused(const std::string& path, typename Reader::Result expected) {
    int width = 1, height = 1;
    std::vector<unsigned char> texels(4);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(Reader::read(path, width, height, texels), expected) << path;
    EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "") << path;
    EXPECT_TRUE(texels.empty() && width == 0 && height == 0) << path;
}

// Pixels of two RGBA read-backs whose colours differ.
int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// Where the shared real-world MilkShape files are; empty when absent.
std::string realModelDir();
std::vector<std::string> realModelFiles();

}  // namespace AssetFiles
