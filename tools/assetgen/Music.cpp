#include "Music.h"

#include <vector>

#include "Noise.h"

namespace assetgen {

namespace {

// A loop of whole 4/4 bars; times are given in beats.
struct Song {
    AudioBuffer buf;
    double secondsPerBeat;
    Song(double bpm, int bars) : buf(bars * 4 * 60.0 / bpm, true), secondsPerBeat(60.0 / bpm) {}
    double at(double beat) const { return beat * secondsPerBeat; }
};

struct Note {
    double beat, length;
    int note;
};

std::vector<int> triad(int root, bool minor) { return {root, root + (minor ? 3 : 4), root + 7}; }

Voice padVoice(float cutoff, float gain) {
    Voice v;
    v.wave = Voice::SAW;
    v.unison = 3;
    v.detune = 16;
    v.attack = 0.5f;
    v.decay = 0.6f;
    v.sustain = 0.75f;
    v.release = 0.9f;
    v.cutoff = cutoff;
    v.resonance = 0.1f;
    v.gain = gain;
    return v;
}

Voice bassVoice() {
    Voice v;
    v.wave = Voice::SAW;
    v.attack = 0.004f;
    v.decay = 0.12f;
    v.sustain = 0.6f;
    v.release = 0.05f;
    v.cutoff = 500;
    v.cutoffAttack = 1400;
    v.filterDecay = 0.08f;
    v.resonance = 0.35f;
    v.gain = 0.34f;
    return v;
}

Voice leadVoice() {
    Voice v;
    v.wave = Voice::SQUARE;
    v.unison = 2;
    v.detune = 8;
    v.attack = 0.01f;
    v.decay = 0.2f;
    v.sustain = 0.7f;
    v.release = 0.12f;
    v.cutoff = 2000;
    v.cutoffAttack = 1600;
    v.filterDecay = 0.15f;
    v.resonance = 0.3f;
    v.vibrato = 0.18f;
    v.gain = 0.12f;
    return v;
}

Voice brassVoice(float gain) {
    Voice v;
    v.wave = Voice::SAW;
    v.unison = 3;
    v.detune = 10;
    v.attack = 0.035f;
    v.decay = 0.25f;
    v.sustain = 0.75f;
    v.release = 0.15f;
    v.cutoff = 900;
    v.cutoffAttack = 2600;
    v.filterDecay = 0.25f;
    v.resonance = 0.25f;
    v.vibrato = 0.12f;
    v.gain = gain;
    return v;
}

void melody(Song& s, const Voice& v, const std::vector<Note>& notes, float velocity, float pan, int transpose = 0) {
    for (const Note& n : notes) play(s.buf, v, s.at(n.beat), s.at(n.length) * 0.92, n.note + transpose, velocity, pan);
}

// A chord strummed on a plucked string, low note first.
void strum(Song& s, double beat, const std::vector<int>& tones, float velocity, float pan, float decay, uint32_t seed) {
    for (size_t k = 0; k < tones.size(); ++k)
        pluck(s.buf, s.at(beat) + 0.011 * k, static_cast<float>(tones[k]), velocity, pan, 0.7f, decay,
              seed * 31 + static_cast<uint32_t>(k));
}

}  // namespace

// Calm and warm: pad chords, a plucked arpeggio, an electric-piano tune.
AudioBuffer composeIntro() {
    Song s(84, 12);
    const int roots[12] = {60, 57, 53, 55, 60, 52, 53, 55, 57, 53, 55, 55};
    const bool minor[12] = {false, true, false, false, false, true, false, false, true, false, false, false};
    Voice pad = padVoice(1300, 0.075f);
    pad.attack = 0.35f;
    Voice bass;
    bass.wave = Voice::SINE;
    bass.attack = 0.08f;
    bass.sustain = 0.85f;
    bass.release = 0.4f;
    bass.gain = 0.2f;
    const int arp[8] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int bar = 0; bar < 12; ++bar) {
        std::vector<int> chord = triad(roots[bar], minor[bar]);
        for (size_t k = 0; k < chord.size(); ++k)
            play(s.buf, pad, s.at(bar * 4), s.at(4), static_cast<float>(chord[k]), 0.8f, -0.3f + 0.3f * k);
        play(s.buf, bass, s.at(bar * 4), s.at(4) - 0.3, static_cast<float>(roots[bar] - 24), 0.9f, 0);
        std::vector<int> tones = {chord[0] + 12, chord[1] + 12, chord[2] + 12, chord[0] + 24};
        for (int i = 0; i < 8; ++i)
            pluck(s.buf, s.at(bar * 4 + i * 0.5), static_cast<float>(tones[arp[i]]), i == 0 ? 0.5f : 0.38f,
                  i % 2 ? 0.35f : -0.35f, 0.45f, 1.3f, 100u + bar * 8 + i);
    }
    const std::vector<Note> tune = {{16, 2, 72}, {18, 1, 76}, {19, 1, 79}, {20, 2, 79}, {22, 1, 76}, {23, 1, 71},
                                    {24, 2, 77}, {26, 1, 76}, {27, 1, 74}, {28, 2, 74}, {30, 1, 71}, {31, 1, 67},
                                    {32, 2, 72}, {34, 1, 76}, {35, 1, 81}, {36, 2, 77}, {38, 1, 81}, {39, 1, 77},
                                    {40, 2, 79}, {42, 1, 74}, {43, 1, 71}, {44, 2, 74}, {46, 1, 71}};
    for (const Note& n : tune) bell(s.buf, s.at(n.beat), static_cast<float>(n.note), 0.55f, 0.15f, 1.8f, 1.0f, 1.3f);
    for (int bar = 0; bar < 12; bar += 2) bell(s.buf, s.at(bar * 4), static_cast<float>(roots[bar] + 24), 0.2f, -0.5f, 2.5f);
    reverb(s.buf, 0.35f, 0.85f);
    startBeforeDownbeat(s.buf, 0.05);
    finish(s.buf, 0.89f, 0.02, 0.03);
    return s.buf;
}

// Driving along: a steady rock beat in A minor with a lead tune.
AudioBuffer composeBackground() {
    Song s(124, 16);
    const int bassRoots[16] = {45, 41, 48, 43, 45, 41, 48, 43, 50, 45, 41, 43, 45, 41, 43, 40};
    const bool minor[16] = {true, false, false, false, true, false, false, false,
                            true, true, false, false, true, false, false, false};
    const Voice bass = bassVoice();
    const Voice pad = padVoice(1800, 0.045f);
    for (int bar = 0; bar < 16; ++bar) {
        const double b0 = bar * 4;
        const int root = bassRoots[bar];
        kick(s.buf, s.at(b0), 0.95f);
        kick(s.buf, s.at(b0 + 2), 0.9f);
        if (bar % 2) kick(s.buf, s.at(b0 + 2.5), 0.6f);
        snare(s.buf, s.at(b0 + 1), 0.8f, 200u + bar);
        if (bar == 15) {
            for (int i = 0; i < 6; ++i) snare(s.buf, s.at(b0 + 2.5 + i * 0.25), 0.45f + 0.08f * i, 300u + i);
        } else {
            snare(s.buf, s.at(b0 + 3), 0.8f, 250u + bar);
        }
        for (int i = 0; i < 8; ++i) {
            bool open = (bar % 2 == 1) && i == 7;
            hihat(s.buf, s.at(b0 + i * 0.5), i % 2 ? 0.35f : 0.55f, open, 0.3f, 400u + bar * 8 + i);
        }
        if (bar == 0 || bar == 8) crash(s.buf, s.at(b0), 0.7f, 500u + bar);
        const int pattern[8] = {0, 0, 12, 0, 0, 7, 12, 0};
        for (int i = 0; i < 8; ++i)
            play(s.buf, bass, s.at(b0 + i * 0.5), s.at(0.42), static_cast<float>(root + pattern[i]), i % 2 ? 0.75f : 0.95f, 0);
        std::vector<int> chord = triad(root + 12 + (root < 44 ? 12 : 0), minor[bar]);
        chord.push_back(chord[0] + 12);
        for (int i = 0; i < 4; ++i) strum(s, b0 + i + 0.5, chord, 0.3f, -0.45f, 0.5f, 600u + bar * 4 + i);
        for (size_t k = 0; k < 3; ++k) play(s.buf, pad, s.at(b0), s.at(4) - 0.5, static_cast<float>(chord[k] + 12), 0.7f, 0.4f);
    }
    const std::vector<Note> tune = {
        {16, 1, 76}, {17, 0.5, 74}, {17.5, 0.5, 72}, {18, 1.5, 69}, {19.5, 0.5, 72}, {20, 1, 77}, {21, 0.5, 76},
        {21.5, 0.5, 74}, {22, 2, 72}, {24, 1, 79}, {25, 0.5, 76}, {25.5, 0.5, 74}, {26, 1, 76}, {27, 1, 72},
        {28, 1.5, 74}, {29.5, 0.5, 71}, {30, 2, 67}, {48, 1, 81}, {49, 0.5, 79}, {49.5, 0.5, 76}, {50, 1.5, 76},
        {51.5, 0.5, 74}, {52, 1, 77}, {53, 0.5, 76}, {53.5, 0.5, 74}, {54, 2, 72}, {56, 1, 74}, {57, 0.5, 76},
        {57.5, 0.5, 79}, {58, 2, 74}, {60, 1.5, 71}, {61.5, 0.5, 68}, {62, 1.5, 71}};
    melody(s, leadVoice(), tune, 1.0f, 0.1f);
    reverb(s.buf, 0.2f, 0.8f);
    startBeforeDownbeat(s.buf, 0.05);
    finish(s.buf, 0.89f, 0.02, 0.03);
    return s.buf;
}

// The chase: fast drums, a pumping bass, brass stabs and a two-tone siren.
AudioBuffer composeHunting() {
    Song s(156, 20);
    const int phraseA[4] = {38, 38, 34, 33}, phraseB[4] = {31, 31, 34, 33};
    const bool minorA[4] = {true, true, false, false}, minorB[4] = {true, true, false, false};
    const int order[5] = {0, 0, 1, 0, 1};
    Voice bass = bassVoice();
    bass.decay = 0.06f;
    bass.sustain = 0.5f;
    Voice stab = brassVoice(0.1f);
    stab.attack = 0.01f;
    stab.filterDecay = 0.08f;
    stab.vibrato = 0;
    Voice siren = leadVoice();
    siren.wave = Voice::SAW;
    siren.glide = 0.6f;
    siren.glideTime = 0.06f;
    siren.vibrato = 0;
    siren.cutoff = 2600;
    siren.gain = 0.085f;
    for (int bar = 0; bar < 20; ++bar) {
        const int phrase = order[bar / 4], inPhrase = bar % 4;
        const int root = phrase ? phraseB[inPhrase] : phraseA[inPhrase];
        const bool minor = phrase ? minorB[inPhrase] : minorA[inPhrase];
        const double b0 = bar * 4;
        for (int i = 0; i < 4; ++i) kick(s.buf, s.at(b0 + i), 0.9f);
        snare(s.buf, s.at(b0 + 1), 0.8f, 700u + bar);
        snare(s.buf, s.at(b0 + 3), 0.8f, 750u + bar);
        snare(s.buf, s.at(b0 + 2.75), 0.25f, 760u + bar);  // ghost note
        for (int i = 0; i < 16; ++i) hihat(s.buf, s.at(b0 + i * 0.25), i % 2 ? 0.22f : 0.42f, false, 0.35f, 800u + bar * 16 + i);
        if (inPhrase == 3) {
            const int toms[4] = {50, 47, 45, 41};
            for (int i = 0; i < 4; ++i) tom(s.buf, s.at(b0 + 3 + i * 0.25), static_cast<float>(toms[i]), 0.7f, -0.3f + 0.2f * i);
        }
        if (bar % 8 == 0) crash(s.buf, s.at(b0), 0.6f, 900u + bar);
        const int pattern[4] = {0, 0, 12, 0};
        for (int i = 0; i < 16; ++i)
            play(s.buf, bass, s.at(b0 + i * 0.25), s.at(0.2), static_cast<float>(root + 12 + pattern[i % 4]), i % 4 ? 0.7f : 1.0f, 0);
        std::vector<int> chord = triad(root + 36, minor);
        for (double beat : {0.0, 1.5, 2.5})
            for (int tone : chord) play(s.buf, stab, s.at(b0 + beat), s.at(0.3), static_cast<float>(tone), 0.9f, 0.25f);
        if (phrase == 1) {
            // The two-tone horn of the police, a fourth apart.
            play(s.buf, siren, s.at(b0), s.at(1.9), 69, 1.0f, -0.2f);
            play(s.buf, siren, s.at(b0 + 2), s.at(1.9), 74, 1.0f, -0.2f);
        } else {
            for (int i = 0; i < 8; ++i) {
                const int arp[8] = {0, 1, 2, 1, 0, 1, 2, 3};
                int tone = arp[i] == 3 ? chord[0] + 12 : chord[arp[i]];
                pluck(s.buf, s.at(b0 + i * 0.5), static_cast<float>(tone + 12), 0.3f, -0.4f, 0.85f, 0.35f, 1000u + bar * 8 + i);
            }
        }
    }
    reverb(s.buf, 0.15f, 0.75f);
    startBeforeDownbeat(s.buf, 0.05);
    finish(s.buf, 0.89f, 0.02, 0.03);
    return s.buf;
}

// Victory: a brass fanfare over timpani and a marching snare.
AudioBuffer composeWinner() {
    Song s(116, 12);
    const int roots[12] = {48, 53, 55, 48, 57, 53, 55, 48, 53, 55, 48, 55};
    const bool minor[12] = {false, false, false, false, true, false, false, false, false, false, false, false};
    const Voice chords = brassVoice(0.055f);
    for (int bar = 0; bar < 12; ++bar) {
        const double b0 = bar * 4;
        std::vector<int> chord = triad(roots[bar] + 12, minor[bar]);
        for (int tone : chord) play(s.buf, chords, s.at(b0), s.at(3.6), static_cast<float>(tone), 0.8f, -0.2f);
        tom(s.buf, s.at(b0), static_cast<float>(roots[bar] - 12), 0.6f, 0);
        tom(s.buf, s.at(b0 + 2), static_cast<float>(roots[bar] - 17), 0.45f, 0);
        kick(s.buf, s.at(b0), 0.6f);
        snare(s.buf, s.at(b0 + 1), 0.55f, 1100u + bar);
        snare(s.buf, s.at(b0 + 3), 0.55f, 1150u + bar);
        for (int i = 0; i < 4; ++i) hihat(s.buf, s.at(b0 + i + 0.5), 0.3f, false, 0.3f, 1200u + bar * 4 + i);
        if (bar % 4 == 0) crash(s.buf, s.at(b0), 0.55f, 1300u + bar);
        if (bar == 3 || bar == 11)
            for (int i = 0; i < 12; ++i) snare(s.buf, s.at(b0 + 2 + i / 6.0), 0.2f + 0.05f * i, 1400u + bar * 12 + i);
    }
    const double third = 1.0 / 3;
    const std::vector<Note> fanfare = {
        {0, third, 67}, {third, third, 67}, {2 * third, third, 67}, {1, 2, 72}, {3, 1, 76},
        {4, 3, 79}, {7, 0.5, 76}, {7.5, 0.5, 79},
        {8, 1, 74}, {9, 0.5, 76}, {9.5, 0.5, 77}, {10, 1, 79}, {11, 0.5, 77}, {11.5, 0.5, 74},
        {12, 3, 72},
        {16, 1, 76}, {17, 0.5, 74}, {17.5, 0.5, 72}, {18, 1, 76}, {19, 1, 79},
        {20, 2, 81}, {22, 1, 79}, {23, 1, 77},
        {24, 1.5, 79}, {25.5, 0.5, 77}, {26, 1, 76}, {27, 1, 74},
        {28, 2, 72}, {30, 1, 76}, {31, 1, 79},
        {32, 1, 77}, {33, 1, 81}, {34, 2, 84},
        {36, 2, 83}, {38, 1, 81}, {39, 1, 79},
        {40, 3, 84}, {43, 1, 79},
        {44, 2, 79}, {46, 1, 74}};
    const Voice lead = brassVoice(0.24f);
    melody(s, lead, fanfare, 1.0f, 0.1f);
    // A second horn a third below on the long notes.
    std::vector<Note> harmony;
    for (const Note& n : fanfare)
        if (n.length >= 1) harmony.push_back({n.beat, n.length, n.note - 4});
    melody(s, brassVoice(0.13f), harmony, 0.9f, 0.35f);
    for (const Note& n : fanfare)
        if (n.beat >= 16 && n.beat < 32) bell(s.buf, s.at(n.beat), static_cast<float>(n.note + 12), 0.25f, -0.3f, 1.2f);
    reverb(s.buf, 0.25f, 0.82f);
    startBeforeDownbeat(s.buf, 0.05);
    finish(s.buf, 0.89f, 0.02, 0.03);
    return s.buf;
}

// Lost: a sad trombone, slow strings and a falling piano tune.
AudioBuffer composeLooser() {
    Song s(66, 8);
    const int roots[8] = {57, 50, 52, 57, 53, 50, 52, 52};
    const bool minor[8] = {true, true, false, true, false, true, false, false};
    Voice strings = padVoice(1100, 0.085f);
    strings.unison = 4;
    strings.detune = 20;
    strings.attack = 0.9f;
    strings.vibrato = 0.1f;
    strings.vibratoRate = 4.5f;
    Voice bass;
    bass.wave = Voice::SINE;
    bass.attack = 0.1f;
    bass.sustain = 0.8f;
    bass.release = 0.6f;
    bass.gain = 0.3f;
    for (int bar = 0; bar < 8; ++bar) {
        std::vector<int> chord = triad(roots[bar], minor[bar]);
        if (bar == 7) chord.push_back(roots[bar] + 10);  // E7 leads home
        for (size_t k = 0; k < chord.size(); ++k)
            play(s.buf, strings, s.at(bar * 4), s.at(4) - 0.6, static_cast<float>(chord[k]), 0.8f, -0.35f + 0.25f * k);
        play(s.buf, bass, s.at(bar * 4), s.at(4) - 0.6, static_cast<float>(roots[bar] - 24), 0.9f, 0);
    }
    Voice trombone;
    trombone.wave = Voice::SAW;
    trombone.unison = 2;
    trombone.detune = 6;
    trombone.attack = 0.04f;
    trombone.sustain = 0.85f;
    trombone.release = 0.2f;
    trombone.cutoff = 650;
    trombone.cutoffAttack = 500;
    trombone.filterDecay = 0.3f;
    trombone.glide = 0.7f;
    trombone.glideTime = 0.18f;
    trombone.gain = 0.26f;
    for (int i = 0; i < 3; ++i) play(s.buf, trombone, s.at(i), s.at(0.85), static_cast<float>(55 - i), 1.0f, 0.1f);
    trombone.vibrato = 0.35f;
    trombone.vibratoRate = 6;
    play(s.buf, trombone, s.at(3), s.at(2.6), 52, 1.0f, 0.1f);
    const std::vector<Note> tune = {{8, 1.5, 71},  {9.5, 0.5, 68}, {10, 2, 64},   {12, 1, 69},   {13, 1, 72},
                                    {14, 1, 71},   {15, 1, 69},   {16, 1.5, 69}, {17.5, 0.5, 67}, {18, 2, 65},
                                    {20, 1, 65},   {21, 1, 64},   {22, 2, 62},   {24, 1, 64},   {25, 1, 68},
                                    {26, 1, 71},   {27, 1, 74},   {28, 1.5, 72}, {29.5, 0.5, 71}, {30, 1.5, 68}};
    for (const Note& n : tune)
        pluck(s.buf, s.at(n.beat), static_cast<float>(n.note), 0.6f, 0.2f, 0.35f, 2.4f, 1500u + static_cast<uint32_t>(n.beat * 2));
    reverb(s.buf, 0.4f, 0.86f);
    startBeforeDownbeat(s.buf, 0.05);
    finish(s.buf, 0.89f, 0.02, 0.03);
    return s.buf;
}

// A quick rising chime.
AudioBuffer effectPickup() {
    AudioBuffer b(0.8, false);
    const int notes[5] = {72, 76, 79, 84, 88};
    for (int i = 0; i < 5; ++i) bell(b, 0.05 * i, static_cast<float>(notes[i]), 0.7f, -0.3f + 0.15f * i, 0.45f, 2.0f, 1.5f);
    Voice sweep;
    sweep.wave = Voice::SINE;
    sweep.attack = 0.02f;
    sweep.release = 0.2f;
    sweep.glide = -12;
    sweep.glideTime = 0.25f;
    sweep.gain = 0.12f;
    play(b, sweep, 0, 0.25, 96, 1.0f, 0);
    reverb(b, 0.25f, 0.7f);
    finish(b, 0.9f, 0.002, 0.08);
    return b;
}

// An explosion with a falling, menacing tritone.
AudioBuffer effectOverkill() {
    AudioBuffer b(1.7, false);
    kick(b, 0, 1.0f);
    kick(b, 0.015, 0.8f);
    noiseBurst(b, 0, 1.4, 0.005f, 1.1f, 40, 900, 1.2f, 0, 77);
    noiseBurst(b, 0, 0.4, 0.002f, 0.35f, 1500, 7000, 0.35f, 0.2f, 78);
    Voice growl = brassVoice(0.2f);
    growl.glide = 7;
    growl.glideTime = 0.9f;
    growl.vibrato = 0.4f;
    growl.vibratoRate = 7;
    play(b, growl, 0.1, 1.1, 38, 1.0f, -0.2f);
    play(b, growl, 0.1, 1.1, 44, 1.0f, 0.2f);
    reverb(b, 0.3f, 0.8f);
    finish(b, 0.9f, 0.002, 0.15);
    return b;
}

// Two short buzzing tones, falling: "no".
AudioBuffer effectError() {
    AudioBuffer b(0.6, false);
    Voice buzz;
    buzz.wave = Voice::SQUARE;
    buzz.attack = 0.005f;
    buzz.decay = 0.05f;
    buzz.sustain = 0.8f;
    buzz.release = 0.05f;
    buzz.cutoff = 1600;
    buzz.resonance = 0.3f;
    buzz.gain = 0.35f;
    play(b, buzz, 0.0, 0.16, 59, 1.0f, 0);
    play(b, buzz, 0.2, 0.3, 53, 1.0f, 0);
    finish(b, 0.9f, 0.002, 0.05);
    return b;
}

// A crowd cheering and clapping, with a whistle.
AudioBuffer effectCheer() {
    AudioBuffer b(1.9, false);
    Random rng(2024);
    for (int i = 0; i < 28; ++i) {
        float centre = rng.range(350, 1400);
        noiseBurst(b, rng.range(0, 0.25f), rng.range(1.1f, 1.6f), 0.12f, 0.5f, centre * 0.7f, centre * 1.6f, 0.5f,
                   rng.range(-0.8f, 0.8f), 3000u + i);
    }
    for (int i = 0; i < 70; ++i)
        noiseBurst(b, rng.range(0.05f, 1.5f), 0.03, 0.001f, 0.025f, 900, 5000, 0.9f, rng.range(-0.9f, 0.9f), 4000u + i);
    Voice whistle;
    whistle.wave = Voice::SINE;
    whistle.attack = 0.03f;
    whistle.release = 0.08f;
    whistle.glide = -7;
    whistle.glideTime = 0.2f;
    whistle.vibrato = 0.3f;
    whistle.gain = 0.12f;
    play(b, whistle, 0.15, 0.35, 98, 1.0f, 0.4f);
    play(b, whistle, 0.6, 0.5, 101, 1.0f, 0.4f);
    reverb(b, 0.3f, 0.8f);
    finish(b, 0.9f, 0.002, 0.3);
    return b;
}

}  // namespace assetgen
