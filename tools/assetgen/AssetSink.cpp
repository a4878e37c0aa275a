#include "AssetSink.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace assetgen {

AssetSink::AssetSink(std::string root_, bool keepPreviews_) : root(std::move(root_)), keepPreviews(keepPreviews_) {}

void AssetSink::write(const std::string& path, const std::vector<uint8_t>& data) {
    if (!writing()) return;
    const std::filesystem::path full = std::filesystem::path(root) / path;
    std::error_code ec;
    std::filesystem::create_directories(full.parent_path(), ec);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    std::lock_guard<std::mutex> guard(lock);
    if (!out) {
        std::printf("\n AssetSink.write(%s): ERROR! unable to write the file", full.string().c_str());
        ++failures;
        return;
    }
    ++files;
    bytes += data.size();
}

void AssetSink::write(const std::string& path, const std::string& text) {
    write(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void AssetSink::preview(const std::string& path, const Canvas& picture, int maxSize) {
    if (!keepPreviews) return;
    const float f = std::min(1.0f, static_cast<float>(maxSize) / std::max(picture.width(), picture.height()));
    const int w = std::max(1, static_cast<int>(picture.width() * f)), h = std::max(1, static_cast<int>(picture.height() * f));
    Canvas small = (w == picture.width() && h == picture.height()) ? picture : picture.resized(w, h);
    std::lock_guard<std::mutex> guard(lock);
    kept.push_back({path, std::move(small), picture.width(), picture.height()});
}

std::vector<AssetSink::Preview> AssetSink::previews() const {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<Preview> out = kept;
    std::sort(out.begin(), out.end(), [](const Preview& a, const Preview& b) { return a.path < b.path; });
    return out;
}

}  // namespace assetgen
