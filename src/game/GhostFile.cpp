#include "game/GhostFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "game/AtomicFile.h"

namespace {
constexpr char MAGIC[4] = {'Z', 'G', 'S', 'T'};
// Beyond any race a player drives (ten hours at 30 samples a second): a
// larger count is not ours, and is not allocated.
constexpr std::uint32_t MAX_SAMPLES = 10u * 3600u * 30u;
constexpr int MAX_RATE = 1000;

// Little-endian writing and reading, whatever the machine's byte order.
template <typename Int>
void putInt(std::string& out, Int value) {
    for (std::size_t i = 0; i < sizeof(Int); ++i) out.push_back(static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xff));
}
template <typename Int>
Int getInt(const std::string& in, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(Int); ++i) value |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return static_cast<Int>(value);
}
void putFloat(std::string& out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    putInt(out, bits);
}
float getFloat(const std::string& in, std::size_t at) {
    const auto bits = getInt<std::uint32_t>(in, at);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}
void putDouble(std::string& out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    putInt(out, bits);
}
double getDouble(const std::string& in, std::size_t at) {
    const auto bits = getInt<std::uint64_t>(in, at);
    double value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

std::int16_t quantise(float value, float step) {
    const long q = std::lround(value / step);
    return static_cast<std::int16_t>(q < -32767 ? -32767 : q > 32767 ? 32767 : q);
}

bool isTime(double seconds) { return std::isfinite(seconds) && seconds >= 0.0; }

void putSample(std::string& out, const GhostPose& pose) {
    for (float p : pose.position) putFloat(out, p);
    for (float q : pose.orientation) putInt(out, quantise(q, GhostFile::ORIENTATION_STEP));
    putInt(out, quantise(pose.steer, GhostFile::STEER_STEP));
}

// Where a version's fields lie (see the header's table).
struct Layout {
    std::size_t finishAt, countAt, splitsAt, splitCount, samplesAt;

    std::size_t size(std::uint32_t samples) const {
        return samplesAt + GhostFile::SAMPLE_BYTES * samples + GhostFile::CHECKSUM_BYTES;
    }
};

constexpr Layout VERSION_1 = {52, 60, 20, 4, 64};

Layout currentLayout(std::size_t splitCount) {
    return {20, 28, GhostFile::HEADER_BYTES, splitCount, GhostFile::HEADER_BYTES + 8 * splitCount};
}

GhostPose getSample(const std::string& in, std::size_t at) {
    GhostPose pose;
    for (int i = 0; i < 3; ++i) pose.position[i] = getFloat(in, at + 4 * i);
    double length = 0.0;
    for (int i = 0; i < 4; ++i) {
        pose.orientation[i] = getInt<std::int16_t>(in, at + 12 + 2 * i) * GhostFile::ORIENTATION_STEP;
        length += static_cast<double>(pose.orientation[i]) * pose.orientation[i];
    }
    // A zero quaternion is no turn at all: it stands for none.
    if (length > 0.0)
        for (float& q : pose.orientation) q = static_cast<float>(q / std::sqrt(length));
    else
        pose.orientation[3] = 1.0f;
    pose.steer = getInt<std::int16_t>(in, at + 20) * GhostFile::STEER_STEP;
    return pose;
}
}  // namespace

std::uint64_t GhostFile::hash(const void* bytes, std::size_t count, std::uint64_t h) {
    const auto* b = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < count; ++i) {
        h ^= b[i];
        h *= 1099511628211ull;
    }
    return h;
}

std::string GhostFile::encode(const Ghost& ghost, std::uint64_t fingerprint) {
    std::string out(MAGIC, sizeof(MAGIC));
    const auto samples = static_cast<std::uint32_t>(ghost.samples.size());
    out.reserve(currentLayout(ghost.splits.size()).size(samples));
    putInt(out, VERSION);
    putInt(out, fingerprint);
    putInt(out, static_cast<std::uint32_t>(ghost.sampleRate));
    putDouble(out, ghost.finish);
    putInt(out, samples);
    putInt(out, static_cast<std::uint32_t>(ghost.splits.size()));
    for (double split : ghost.splits) putDouble(out, split);
    for (const GhostPose& pose : ghost.samples) putSample(out, pose);
    putInt(out, hash(out.data(), out.size()));
    return out;
}

std::optional<Ghost> GhostFile::decode(const std::string& in, std::uint64_t fingerprint, std::string& why) {
    if (in.size() >= sizeof(MAGIC) && std::memcmp(in.data(), MAGIC, sizeof(MAGIC)) != 0) {
        why = "not a ghost file";
        return std::nullopt;
    }
    const auto version = in.size() >= 8 ? getInt<std::uint32_t>(in, 4) : VERSION;
    if (version != VERSION && version != 1) {
        why = "format version " + std::to_string(version) + ", this game reads versions 1 and " +
              std::to_string(VERSION);
        return std::nullopt;
    }
    const std::size_t header = version == 1 ? VERSION_1.samplesAt : HEADER_BYTES;
    if (in.size() < header) {
        why = "truncated (" + std::to_string(in.size()) + " bytes)";
        return std::nullopt;
    }
    const auto splitCount = version == 1 ? 4u : getInt<std::uint32_t>(in, 32);
    const Layout layout = version == 1 ? VERSION_1 : currentLayout(splitCount);
    const auto count = getInt<std::uint32_t>(in, layout.countAt);
    const bool tooMany = count > MAX_SAMPLES || splitCount > MAX_SPLITS;
    const std::size_t expected = tooMany ? 0 : layout.size(count);
    if (expected == 0 || in.size() > expected) {
        why = "not a ghost file (" + std::to_string(in.size()) + " bytes for " + std::to_string(count) +
              " samples and " + std::to_string(splitCount) + " splits)";
        return std::nullopt;
    }
    if (in.size() < expected) {
        why = "truncated (" + std::to_string(in.size()) + " of " + std::to_string(expected) + " bytes)";
        return std::nullopt;
    }
    if (getInt<std::uint64_t>(in, expected - CHECKSUM_BYTES) != hash(in.data(), expected - CHECKSUM_BYTES)) {
        why = "wrong checksum";
        return std::nullopt;
    }
    if (getInt<std::uint64_t>(in, 8) != fingerprint) {
        why = "driven on another level";
        return std::nullopt;
    }
    Ghost ghost;
    ghost.sampleRate = static_cast<int>(getInt<std::uint32_t>(in, 16));
    for (std::size_t i = 0; i < layout.splitCount; ++i) ghost.splits.push_back(getDouble(in, layout.splitsAt + 8 * i));
    ghost.finish = getDouble(in, layout.finishAt);
    bool timesOk = isTime(ghost.finish) && ghost.finish > 0.0;
    for (double split : ghost.splits) timesOk = timesOk && isTime(split) && split <= ghost.finish;
    if (ghost.sampleRate < 1 || ghost.sampleRate > MAX_RATE || count == 0 || !timesOk) {
        why = "no race in it (rate, times or samples out of range)";
        return std::nullopt;
    }
    ghost.samples.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) ghost.samples.push_back(getSample(in, layout.samplesAt + SAMPLE_BYTES * i));
    return ghost;
}

std::optional<Ghost> GhostFile::load(const std::string& path, std::uint64_t fingerprint) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("\n GhostFile: no ghost %s (%s)", path.c_str(), std::strerror(errno));
        return std::nullopt;
    }
    // Never more than the largest ghost and one byte: a larger file is not ours.
    const std::streamoff largest = currentLayout(MAX_SPLITS).size(MAX_SAMPLES) + 1;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(0, std::min(size, largest))), '\0');
    if (!bytes.empty()) in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    std::string why;
    auto ghost = decode(bytes, fingerprint, why);
    if (!ghost) std::printf("\n GhostFile: ignoring the ghost %s: %s", path.c_str(), why.c_str());
    return ghost;
}

bool GhostFile::save(const std::string& path, const Ghost& ghost, std::uint64_t fingerprint) {
    if (AtomicFile::write(path, encode(ghost, fingerprint))) return true;
    std::printf("\n GhostFile: WARNING! cannot write the ghost %s", path.c_str());
    return false;
}
