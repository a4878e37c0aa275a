#include "Synth.h"

#include <algorithm>
#include <cmath>

#include "Noise.h"

namespace assetgen {

namespace {

const double TAU = 6.283185307179586;

// Band-limited step correction for saw and square waves (polyBLEP).
float blep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

float envelope(const Voice& v, double t, double duration) {
    float level;
    if (t < v.attack) level = static_cast<float>(t / v.attack);
    else if (t < v.attack + v.decay) level = 1 - (1 - v.sustain) * static_cast<float>((t - v.attack) / v.decay);
    else level = v.sustain;
    if (t > duration) {
        // The release starts from the level reached at the note's end.
        float atEnd = duration < v.attack ? static_cast<float>(duration / v.attack)
                      : duration < v.attack + v.decay ? 1 - (1 - v.sustain) * static_cast<float>((duration - v.attack) / v.decay)
                                                       : v.sustain;
        level = atEnd * std::max(0.0f, 1 - static_cast<float>((t - duration) / v.release));
    }
    return level;
}

// Chamberlin state-variable low-pass filter.
struct LowPass {
    float low = 0, band = 0, f = 0.5f;
    void tune(float cutoffHz) { f = 2 * std::sin(static_cast<float>(3.14159265 * std::min(cutoffHz, 8000.0f) / SAMPLE_RATE)); }
    float run(float in, float resonance) {
        float q = 1 - resonance;
        low += f * band;
        float high = in - low - q * band;
        band += f * high;
        return low;
    }
};

struct OnePole {
    float state = 0, cutoff = -1, a = 0;
    float lowpass(float in, float cutoffHz) {
        if (cutoffHz != cutoff) {  // callers keep one cut-off, so this runs once
            cutoff = cutoffHz;
            a = 1 - std::exp(static_cast<float>(-TAU * cutoffHz / SAMPLE_RATE));
        }
        state += a * (in - state);
        return state;
    }
};

long frameOf(double t) { return static_cast<long>(std::lround(t * SAMPLE_RATE)); }

// A fast tanh for soft clipping (a Pade approximation, exact enough here).
float softClip(float x) {
    if (x > 3) return 1;
    if (x < -3) return -1;
    float x2 = x * x;
    return x * (27 + x2) / (27 + 9 * x2);
}

// exp(-rate * t) sample by sample, by repeated multiplication.
struct Decay {
    float value = 1, factor;
    explicit Decay(float ratePerSecond) : factor(std::exp(-ratePerSecond / SAMPLE_RATE)) {}
    float next() {
        float v = value;
        value *= factor;
        return v;
    }
};

}  // namespace

AudioBuffer::AudioBuffer(double seconds, bool wrap_)
    : left(static_cast<size_t>(std::lround(seconds * SAMPLE_RATE)), 0.0f),
      right(left.size(), 0.0f),
      wrap(wrap_) {}

void AudioBuffer::add(long frame, float l, float r) {
    const long n = static_cast<long>(frames());
    if (wrap) {
        while (frame >= n) frame -= n;
        while (frame < 0) frame += n;
    } else if (frame < 0 || frame >= n) {
        return;
    }
    left[frame] += l;
    right[frame] += r;
}

void AudioBuffer::addPanned(long frame, float value, float pan) {
    // Equal-power panning; the last pan's gains are kept, as a voice
    // writes many samples with the same pan.
    if (pan != lastPan) {
        float angle = (std::clamp(pan, -1.0f, 1.0f) + 1) * 0.25f * 3.14159265f;
        lastPan = pan;
        gainLeft = std::cos(angle);
        gainRight = std::sin(angle);
    }
    add(frame, value * gainLeft, value * gainRight);
}

float midiToHz(float note) { return 440.0f * std::pow(2.0f, (note - 69) / 12.0f); }

void play(AudioBuffer& out, const Voice& v, double start, double duration, float note, float velocity, float pan) {
    const double length = duration + v.release;
    const long first = frameOf(start), count = frameOf(length);
    const int n = std::max(1, v.unison);
    std::vector<double> phase(n);
    std::vector<float> step(n);
    for (int k = 0; k < n; ++k) phase[k] = static_cast<double>(k) / n;  // spread start phases
    LowPass filter;
    float cutoff = v.cutoff;
    uint32_t noise = 12345u + static_cast<uint32_t>(note * 100);
    // Pitch and filter move slowly, so they are updated every 16 samples.
    const int block = 16;
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / SAMPLE_RATE;
        if (i % block == 0) {
            float pitch = note + v.vibrato * std::sin(static_cast<float>(TAU * v.vibratoRate * t)) *
                                     std::min(1.0f, static_cast<float>(t / 0.3));
            if (v.glide != 0) pitch += v.glide * std::max(0.0f, 1 - static_cast<float>(t / v.glideTime));
            for (int k = 0; k < n; ++k) {
                float spread = n > 1 ? (static_cast<float>(k) / (n - 1) - 0.5f) * v.detune / 100.0f : 0.0f;
                step[k] = midiToHz(pitch + spread) / SAMPLE_RATE;
            }
            cutoff = v.cutoff + v.cutoffAttack * std::exp(-static_cast<float>(t) / v.filterDecay);
            filter.tune(cutoff);
        }
        float sum = 0;
        for (int k = 0; k < n; ++k) {
            const float dt = step[k];
            float p = static_cast<float>(phase[k]);
            switch (v.wave) {
                case Voice::SINE: sum += std::sin(static_cast<float>(TAU) * p); break;
                case Voice::SAW: sum += 2 * p - 1 - blep(p, dt); break;
                case Voice::SQUARE: {
                    float q = p + 0.5f;
                    if (q >= 1) q -= 1;
                    sum += (p < 0.5f ? 1.0f : -1.0f) + blep(p, dt) - blep(q, dt);
                    break;
                }
                case Voice::TRIANGLE: sum += 1 - 4 * std::fabs(p - 0.5f); break;
                case Voice::NOISE:
                    noise = noise * 1664525u + 1013904223u;
                    sum += static_cast<float>(noise >> 8) / 8388608.0f - 1;
                    break;
            }
            phase[k] += dt;
            if (phase[k] >= 1) phase[k] -= 1;
        }
        float s = filter.run(sum / n, v.resonance) * envelope(v, t, duration) * velocity * v.gain;
        out.addPanned(first + i, s, pan);
    }
}

void pluck(AudioBuffer& out, double start, float note, float velocity, float pan, float brightness, float decaySeconds,
           uint32_t seed) {
    const float hz = midiToHz(note);
    const int period = std::max(2, static_cast<int>(std::lround(SAMPLE_RATE / hz)));
    std::vector<float> line(period);
    Random rng(seed);
    OnePole shape;
    for (float& s : line) s = shape.lowpass(rng.range(-1, 1), 800 + 9000 * brightness);
    // Feedback so that the string falls by 60 dB over decaySeconds.
    const float feedback = std::pow(0.001f, 1.0f / (decaySeconds * hz));
    const long first = frameOf(start), count = frameOf(decaySeconds * 1.2);
    int pos = 0;
    float prev = 0;
    for (long i = 0; i < count; ++i) {
        float cur = line[pos];
        float next = 0.5f * (cur + prev) * feedback;
        prev = cur;
        line[pos] = next;
        pos = (pos + 1) % period;
        float attack = std::min(1.0f, static_cast<float>(i) / 40.0f);  // no click at the onset
        out.addPanned(first + i, cur * velocity * 0.5f * attack, pan);
    }
}

void bell(AudioBuffer& out, double start, float note, float velocity, float pan, float decaySeconds, float ratio,
          float index) {
    const float hz = midiToHz(note);
    const long first = frameOf(start), count = frameOf(decaySeconds * 1.5);
    Decay level(6.9f / decaySeconds), brightness(3 / decaySeconds);
    for (long i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float env = level.next() * std::min(1.0f, t / 0.002f);
        float mod = index * brightness.next() * std::sin(static_cast<float>(TAU) * hz * ratio * t);
        float s = std::sin(static_cast<float>(TAU) * hz * t + mod);
        out.addPanned(first + i, s * env * velocity * 0.25f, pan);
    }
}

void kick(AudioBuffer& out, double start, float velocity) {
    const long first = frameOf(start), count = frameOf(0.45);
    double phase = 0;
    Decay sweep(28), level(7.5f), clickLevel(400);
    for (long i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float hz = 45 + 110 * sweep.next();
        phase += hz / SAMPLE_RATE;
        float env = level.next() * std::min(1.0f, t / 0.0015f);
        float click = clickLevel.next() * 0.3f;
        float s = std::sin(static_cast<float>(TAU * phase)) * env + click * std::min(1.0f, t / 0.0005f);
        out.addPanned(first + i, softClip(s * 1.4f) * velocity * 0.75f, 0);
    }
}

void snare(AudioBuffer& out, double start, float velocity, uint32_t seed) {
    const long first = frameOf(start), count = frameOf(0.3);
    Random rng(seed);
    OnePole hp, lp;
    Decay toneLevel(30), level(16);
    for (long i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float n = rng.range(-1, 1);
        float bright = n - hp.lowpass(n, 700);
        bright = lp.lowpass(bright, 7000);
        float tone = std::sin(static_cast<float>(TAU) * 185 * t) * toneLevel.next();
        float env = level.next() * std::min(1.0f, t / 0.001f);
        out.addPanned(first + i, (bright * env * 0.8f + tone * 0.5f) * velocity * 0.5f, 0.05f);
    }
}

void hihat(AudioBuffer& out, double start, float velocity, bool open, float pan, uint32_t seed) {
    const float decay = open ? 0.28f : 0.045f;
    const long first = frameOf(start), count = frameOf(decay * 4);
    Random rng(seed);
    OnePole hp;
    Decay level(1 / decay);
    for (long i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float n = rng.range(-1, 1);
        float high = n - hp.lowpass(n, 6500);
        float env = level.next() * std::min(1.0f, t / 0.0008f);
        out.addPanned(first + i, high * env * velocity * 0.28f, pan);
    }
}

void tom(AudioBuffer& out, double start, float note, float velocity, float pan) {
    const long first = frameOf(start), count = frameOf(0.6);
    const float hz = midiToHz(note);
    double phase = 0;
    Decay bend(20), level(6);
    for (long i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        phase += hz * (1 + 0.6f * bend.next()) / SAMPLE_RATE;
        float env = level.next() * std::min(1.0f, t / 0.002f);
        out.addPanned(first + i, std::sin(static_cast<float>(TAU * phase)) * env * velocity * 0.6f, pan);
    }
}

void crash(AudioBuffer& out, double start, float velocity, uint32_t seed) {
    const long first = frameOf(start), count = frameOf(2.2);
    Random rng(seed);
    OnePole hp, lp;
    Decay level(2.2f);
    for (long i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float n = rng.range(-1, 1);
        float high = lp.lowpass(n - hp.lowpass(n, 3500), 12000);
        float env = level.next() * std::min(1.0f, t / 0.002f);
        float wobble = 0.85f + 0.15f * std::sin(static_cast<float>(TAU) * 7 * t);
        out.add(first + i, high * env * velocity * 0.3f * wobble, high * env * velocity * 0.3f * (2 - wobble) * 0.9f);
    }
}

void noiseBurst(AudioBuffer& out, double start, double duration, float attack, float release, float lowHz, float highHz,
                float gain, float pan, uint32_t seed) {
    const long first = frameOf(start), count = frameOf(duration);
    Random rng(seed);
    OnePole hp, lp;
    for (long i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float n = rng.range(-1, 1);
        float band = lp.lowpass(n, highHz) - hp.lowpass(n, lowHz);
        float env = std::min(1.0f, t / attack) * std::min(1.0f, std::max(0.0f, static_cast<float>(duration) - t) / release);
        out.addPanned(first + i, band * env * gain, pan);
    }
}

namespace {

struct Comb {
    std::vector<float> line;
    size_t pos = 0;
    float store = 0;
    float run(float in, float feedback, float damp) {
        float outv = line[pos];
        store = outv * (1 - damp) + store * damp;
        line[pos] = in + store * feedback;
        if (++pos == line.size()) pos = 0;
        return outv;
    }
};

struct AllPass {
    std::vector<float> line;
    size_t pos = 0;
    float run(float in) {
        float buffered = line[pos];
        float outv = buffered - in;
        line[pos] = in + buffered * 0.5f;
        if (++pos == line.size()) pos = 0;
        return outv;
    }
};

}  // namespace

void reverb(AudioBuffer& buf, float wet, float roomSize) {
    // A small Schroeder reverb per channel; the right channel's delays are
    // a little longer for width.
    const int combDelays[4] = {1116, 1188, 1277, 1356};
    const int allDelays[2] = {556, 441};
    const size_t n = buf.frames();
    for (int ch = 0; ch < 2; ++ch) {
        std::vector<float>& data = ch ? buf.right : buf.left;
        Comb combs[4];
        AllPass alls[2];
        for (int k = 0; k < 4; ++k) combs[k].line.assign(combDelays[k] + 23 * ch, 0.0f);
        for (int k = 0; k < 2; ++k) alls[k].line.assign(allDelays[k] + 23 * ch, 0.0f);
        std::vector<float> wetOut(n);
        const int passes = buf.wrap ? 2 : 1;
        for (int pass = 0; pass < passes; ++pass)
            for (size_t i = 0; i < n; ++i) {
                float in = data[i] * 0.2f, s = 0;
                for (Comb& c : combs) s += c.run(in, roomSize, 0.3f);
                for (AllPass& a : alls) s = a.run(s);
                wetOut[i] = s;
            }
        for (size_t i = 0; i < n; ++i) data[i] += wetOut[i] * wet;
    }
}

void startBeforeDownbeat(AudioBuffer& loop, double seconds) {
    const size_t shift = static_cast<size_t>(frameOf(seconds)) % loop.frames();
    std::rotate(loop.left.begin(), loop.left.end() - shift, loop.left.end());
    std::rotate(loop.right.begin(), loop.right.end() - shift, loop.right.end());
}

void finish(AudioBuffer& buf, float peak, double fadeIn, double fadeOut) {
    float max = 1e-6f;
    for (size_t i = 0; i < buf.frames(); ++i) max = std::max({max, std::fabs(buf.left[i]), std::fabs(buf.right[i])});
    // Normalise a little above the target, then round off the loudest
    // peaks so that no sample passes `peak`.
    const float gain = peak * 1.1f / max;
    const long n = static_cast<long>(buf.frames());
    const long in = frameOf(fadeIn), out = frameOf(fadeOut);
    for (long i = 0; i < n; ++i) {
        // Raised-cosine fades: smooth, so they add no click of their own.
        float f = 1;
        if (i < in) f = 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(i) / in);
        if (i >= n - out) f = std::min(f, 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(n - 1 - i) / out));
        for (float* s : {&buf.left[i], &buf.right[i]}) *s = peak * softClip(*s * gain / peak) * f;
    }
}

}  // namespace assetgen
