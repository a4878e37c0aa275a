#include "assets/AssetFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <IL/il.h>

namespace fs = std::filesystem;

namespace AssetFiles {

std::string makeTempDir() {
    std::string pattern = (fs::path(testing::TempDir()) / "zarvik-assets-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr) << "cannot create a temporary directory";
    return pattern;
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

void writeGreyPicture(const std::string& path, int w, int h, const std::vector<unsigned char>& values) {
    std::vector<unsigned char> data = values;
    data.resize(static_cast<std::size_t>(w) * h);
    savePicture(path, w, h, 1, IL_LUMINANCE, data);
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

}  // namespace AssetFiles
