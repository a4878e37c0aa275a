#include "assets/AssetFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <IL/il.h>

#include "assets/Texture2D.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_STATIC  // a copy of its own: the engine has one too
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace fs = std::filesystem;

namespace AssetFiles {

void startDevIL() { Texture2D starter(false); }

void drainDevILErrors() {
    while (ilGetError() != IL_NO_ERROR) {
    }
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

namespace {
void savePicture(const std::string& path, int w, int h, ILubyte channels, ILenum format,
                 std::vector<unsigned char>& data) {
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ASSERT_TRUE(ilTexImage(w, h, 1, channels, format, IL_UNSIGNED_BYTE, data.data()));
    ilEnable(IL_FILE_OVERWRITE);
    EXPECT_TRUE(ilSaveImage(path.c_str())) << "DevIL cannot write " << path;
    ilDeleteImages(1, &image);
}
}  // namespace

void writePicture(const std::string& path, int w, int h, unsigned char r, unsigned char g, unsigned char b) {
    std::vector<unsigned char> data;
    for (int i = 0; i < w * h; ++i) data.insert(data.end(), {r, g, b});
    savePicture(path, w, h, 3, IL_RGB, data);
}

void writeRgbPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& rgb) {
    std::vector<unsigned char> data = rgb;
    data.resize(static_cast<std::size_t>(w) * h * 3);
    savePicture(path, w, h, 3, IL_RGB, data);
}


namespace {
// PNG pictures are written with stb, independently of DevIL. stb's JPEG
// writer shifts negative values (undefined behaviour the sanitizer stops at),
// so JPEG pictures are written by DevIL with their rows declared top-first.
void writeTopDownPicture(const std::string& path, int w, int h, int channels, const std::vector<unsigned char>& texels) {
    ASSERT_EQ(texels.size(), static_cast<std::size_t>(w) * h * channels);
    bool jpeg = path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
    if (!jpeg) {
        ASSERT_TRUE(stbi_write_png(path.c_str(), w, h, channels, texels.data(), channels * w)) << "cannot write " << path;
        return;
    }
    std::vector<unsigned char> data = texels;
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ASSERT_TRUE(ilTexImage(w, h, 1, static_cast<ILubyte>(channels), channels == 1 ? IL_LUMINANCE : IL_RGB,
                           IL_UNSIGNED_BYTE, data.data()));
    ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
    ilSetInteger(IL_JPG_QUALITY, 99);
    ilEnable(IL_FILE_OVERWRITE);
    EXPECT_TRUE(ilSaveImage(path.c_str())) << "DevIL cannot write " << path;
    ilDeleteImages(1, &image);
}
}  // namespace

void writeGreyPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& values) {
    writeTopDownPicture(path, w, h, 1, values);
}

void writeTopDownRgbPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& rgb) {
    writeTopDownPicture(path, w, h, 3, rgb);
}

void writeTopDownRgbaPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& rgba) {
    writeTopDownPicture(path, w, h, 4, rgba);
}

std::string gameDataDir(const std::string& name) {
    const char* game = std::getenv("ZARVIK_GAME_DIR");
    if (game == nullptr) return std::string();
    std::string path = (fs::path(game) / name).string();
    return fs::is_directory(path) ? path : std::string();
}

std::string realModelDir() {
    const char* dir = std::getenv("ZARVIK_MS3D_TESTDATA");
    std::string path = dir != nullptr ? dir : "/work/shared/testdata/ms3d";
    return fs::is_directory(path) ? path : std::string();
}

std::vector<std::string> realModelFiles() {
    std::vector<std::string> files;
    std::string dir = realModelDir();
    if (dir.empty()) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    int count = 0;
    for (std::size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return count;
}

}  // namespace AssetFiles
