#include "Mp3Encoder.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

#include <lame/lame.h>

namespace assetgen {

std::vector<uint8_t> encodeMp3(const AudioBuffer& sound, bool stereo, int kbps) {
    std::vector<uint8_t> out;
    lame_t lame = lame_init();
    if (!lame) {
        std::printf("\n encodeMp3(): ERROR! unable to start the encoder");
        return out;
    }
    lame_set_in_samplerate(lame, SAMPLE_RATE);
    lame_set_out_samplerate(lame, SAMPLE_RATE);
    lame_set_num_channels(lame, stereo ? 2 : 1);
    lame_set_mode(lame, stereo ? JOINT_STEREO : MONO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, kbps);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        std::printf("\n encodeMp3(): ERROR! the encoder refused its settings");
        lame_close(lame);
        return out;
    }
    const size_t n = sound.frames();
    std::vector<float> mono;
    if (!stereo) {
        mono.resize(n);
        for (size_t i = 0; i < n; ++i) mono[i] = 0.5f * (sound.left[i] + sound.right[i]);
    }
    const float* left = stereo ? sound.left.data() : mono.data();
    const float* right = stereo ? sound.right.data() : mono.data();
    const size_t chunk = 8192;
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (size_t pos = 0; pos < n; pos += chunk) {
        const int count = static_cast<int>(std::min(chunk, n - pos));
        int bytes = lame_encode_buffer_ieee_float(lame, left + pos, right + pos, count, buffer.data(),
                                                  static_cast<int>(buffer.size()));
        if (bytes > 0) out.insert(out.end(), buffer.begin(), buffer.begin() + bytes);
    }
    int bytes = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
    if (bytes > 0) out.insert(out.end(), buffer.begin(), buffer.begin() + bytes);
    // The first frame was reserved for the tag; fill it in now.
    size_t tag = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
    if (tag > 0 && tag <= out.size()) std::memcpy(out.data(), buffer.data(), tag);
    lame_close(lame);
    return out;
}

}  // namespace assetgen
