#include "GreyPng16.h"

#include <cstdlib>
#include <string>

// stb_image_write's deflate coder, compiled in StbImplementation.cpp.
extern "C" unsigned char* stbi_zlib_compress(unsigned char* data, int data_len, int* out_len, int quality);

namespace assetgen {

namespace {

uint32_t pngCrc(const uint8_t* bytes, std::size_t count, uint32_t crc = 0xFFFFFFFFu) {
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
}

void putWord(std::vector<uint8_t>& out, uint32_t word) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(word >> shift));
}

// Length, type, data and the checksum over type and data.
void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putWord(out, static_cast<uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putWord(out, pngCrc(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

}  // namespace

std::vector<uint8_t> greyPng16(const std::vector<uint16_t>& values, int width, int height) {
    // Each row: filter "up" (the difference to the row above), which makes
    // the smooth ground of a heightmap small; big-endian samples.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 2;
    std::vector<uint8_t> raw, previous(rowBytes, 0), row(rowBytes);
    raw.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint16_t v = values[static_cast<std::size_t>(y) * width + x];
            row[2 * x] = static_cast<uint8_t>(v >> 8);
            row[2 * x + 1] = static_cast<uint8_t>(v & 0xFF);
        }
        raw.push_back(2);
        for (std::size_t i = 0; i < rowBytes; ++i) raw.push_back(static_cast<uint8_t>(row[i] - previous[i]));
        previous = row;
    }
    int packedSize = 0;
    unsigned char* packed = stbi_zlib_compress(raw.data(), static_cast<int>(raw.size()), &packedSize, 8);
    if (!packed) return {};
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putWord(header, static_cast<uint32_t>(width));
    putWord(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {16, 0, 0, 0, 0});  // 16 bits, greyscale, deflate, no interlace
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", std::vector<uint8_t>(packed, packed + packedSize));
    putChunk(out, "IEND", {});
    std::free(packed);
    return out;
}

}  // namespace assetgen
