// A small synthesiser for the game's music and effects: oscillator voices
// with envelopes and a resonant filter, a plucked string, FM bells, drums,
// noise, and a reverb that wraps round a loop so the loop stays seamless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assetgen {

constexpr int SAMPLE_RATE = 44100;

// Stereo samples. With `wrap`, sound written past the end continues at the
// start, so notes that ring over a loop's end are heard at its beginning.
class AudioBuffer {
public:
    AudioBuffer(double seconds, bool wrap);
    size_t frames() const { return left.size(); }
    double seconds() const { return static_cast<double>(frames()) / SAMPLE_RATE; }
    void add(long frame, float l, float r);
    void addPanned(long frame, float value, float pan);  // pan -1 (left) .. 1 (right)

    std::vector<float> left, right;
    bool wrap;

private:
    float lastPan = 0, gainLeft = 0.70710678f, gainRight = 0.70710678f;
};

float midiToHz(float note);

struct Voice {
    enum Wave { SINE, SAW, SQUARE, TRIANGLE, NOISE } wave = SAW;
    int unison = 1;           // oscillators per note, spread by `detune`
    float detune = 0;         // cents between the outermost oscillators
    float attack = 0.01f, decay = 0.1f, sustain = 0.8f, release = 0.1f;  // seconds, level
    float cutoff = 4000;      // low-pass cut-off (Hz)
    float cutoffAttack = 0;   // extra cut-off at the start, fading with filterDecay
    float filterDecay = 0.2f;
    float resonance = 0.2f;   // 0 .. 0.9
    float vibrato = 0;        // semitones
    float vibratoRate = 5.5f; // Hz
    float glide = 0;          // semitones at the start, gliding to the note
    float glideTime = 0.05f;
    float gain = 0.3f;
};

// Plays one note (MIDI number, may be fractional) for `duration` seconds,
// then its release.
void play(AudioBuffer& out, const Voice& v, double start, double duration, float note, float velocity, float pan);

// A plucked string (Karplus-Strong): guitar, harp or piano-like.
void pluck(AudioBuffer& out, double start, float note, float velocity, float pan, float brightness, float decaySeconds,
           uint32_t seed);

// A bell or chime: frequency modulation with a decaying index.
void bell(AudioBuffer& out, double start, float note, float velocity, float pan, float decaySeconds,
          float ratio = 3.5f, float index = 2.5f);

void kick(AudioBuffer& out, double start, float velocity);
void snare(AudioBuffer& out, double start, float velocity, uint32_t seed);
void hihat(AudioBuffer& out, double start, float velocity, bool open, float pan, uint32_t seed);
void tom(AudioBuffer& out, double start, float note, float velocity, float pan);
void crash(AudioBuffer& out, double start, float velocity, uint32_t seed);

// Filtered noise with an envelope (wind, crowd, explosions).
void noiseBurst(AudioBuffer& out, double start, double duration, float attack, float release, float lowHz, float highHz,
                float gain, float pan, uint32_t seed);

// Room reverb added to the buffer. For wrapping buffers the reverb runs
// round the loop twice, so its tail at the end flows into the start.
void reverb(AudioBuffer& buf, float wet, float roomSize);

// Turns a loop so that it starts `seconds` before its first downbeat: the
// file then begins and ends in the quiet moment before a bar, and the
// downbeat's attack is not the first thing the MP3 coder sees.
void startBeforeDownbeat(AudioBuffer& loop, double seconds);

// Scales to the given peak, rounds off peaks gently, and fades the very
// start and end, so the file starts and ends at silence (no click when a
// loop restarts).
void finish(AudioBuffer& buf, float peak, double fadeIn, double fadeOut);

}  // namespace assetgen
