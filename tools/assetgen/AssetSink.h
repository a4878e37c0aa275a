// Where generated files go: written under the output folder (when there is
// one), counted, and for pictures remembered as small copies for the
// contact sheet.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "Canvas.h"

namespace assetgen {

class AssetSink {
public:
    // An empty root writes nothing (a preview-only run).
    AssetSink(std::string root, bool keepPreviews);

    bool writing() const { return !root.empty(); }
    bool keepsPreviews() const { return keepPreviews; }

    // Writes a file at a path relative to the root ("images/arrow.png"),
    // creating its folder. Safe to call from several threads.
    void write(const std::string& path, const std::vector<uint8_t>& bytes);
    void write(const std::string& path, const std::string& text);
    // Remembers a picture for the contact sheet, shrunk to fit maxSize.
    void preview(const std::string& path, const Canvas& picture, int maxSize = 256);

    struct Preview {
        std::string path;
        Canvas picture;
        int fullWidth, fullHeight;
    };
    std::vector<Preview> previews() const;

    bool ok() const { return failures == 0; }
    size_t fileCount() const { return files; }
    uint64_t byteCount() const { return bytes; }

private:
    std::string root;
    bool keepPreviews;
    mutable std::mutex lock;
    std::vector<Preview> kept;
    size_t files = 0;
    uint64_t bytes = 0;
    int failures = 0;
};

}  // namespace assetgen
