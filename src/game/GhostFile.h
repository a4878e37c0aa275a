#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "game/Ghost.h"

// The file a ghost is kept in: small, binary, little-endian.
//
//   offset    size  field
//        0       4  magic word "ZGST"
//        4       4  format version (VERSION)
//        8       8  fingerprint of the level the race was driven on
//       16       4  samples per second
//       20       8  the finish time, seconds, as a double
//       28       4  sample count n
//       32       4  split count k (one per sign, at most MAX_SPLITS)
//       36     8 k  the split times, seconds, as doubles
//   36+8 k    22 n  samples: position x, y, z as floats; the orientation's
//                   quaternion x, y, z, w as 16-bit integers (value x 32767);
//                   the steering angle as a 16-bit integer (hundredths of a degree)
//   ...          8  checksum: hash() of every byte before it
//
// Version 1 files, written when every level had four signs, are read too:
// the four split times at 20, the finish at 52, the sample count at 60 and
// the samples from 64.
//
// Times are kept exactly, so split differences against a race driven the
// same way are exactly zero. A two-minute race at 30 samples a second takes
// some 80 KB.
class GhostFile {
public:
    static constexpr std::uint32_t VERSION = 2;
    static constexpr std::size_t HEADER_BYTES = 36;  // before the split times
    static constexpr std::uint32_t MAX_SPLITS = 64;
    static constexpr std::size_t SAMPLE_BYTES = 22;
    static constexpr std::size_t CHECKSUM_BYTES = 8;
    // What the file keeps of a pose: positions as floats, orientation
    // components within half a step of 1/32767.
    static constexpr float ORIENTATION_STEP = 1.0f / 32767.0f;
    static constexpr float STEER_STEP = 0.01f;  // degrees

    // 64-bit FNV-1a of the bytes, continued from `hash` (the checksum, the
    // level fingerprint).
    static std::uint64_t hash(const void* bytes, std::size_t count,
                              std::uint64_t hash = 14695981039346656037ull);

    static std::string encode(const Ghost& ghost, std::uint64_t fingerprint);
    // The ghost in bytes, if they are a whole ghost file of this version or version 1,
    // with the right checksum, driven on the level of that fingerprint;
    // otherwise nothing, and why says why in a few words.
    static std::optional<Ghost> decode(const std::string& bytes, std::uint64_t fingerprint, std::string& why);

    // Reads and decodes path; on any fault one console line says why.
    static std::optional<Ghost> load(const std::string& path, std::uint64_t fingerprint);
    // Writes atomically (see AtomicFile); false, with a console line, when it cannot.
    static bool save(const std::string& path, const Ghost& ghost, std::uint64_t fingerprint);
};
