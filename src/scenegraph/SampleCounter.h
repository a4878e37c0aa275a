#pragma once
#include <cstdint>
#include <vector>

// Counts the samples each kind of drawing writes in a frame (the samples that
// pass the depth test, GL_SAMPLES_PASSED), to show where the rasteriser's work
// goes: overdraw per kind is its count divided by the window's samples.
//
// Off unless started; a scope then costs one test. Queries of one target do
// not nest, so a scope opened inside another ends the outer query and starts
// a new one for the outer kind when it closes. The occlusion culling's own
// queries must be suspended while it counts (OcclusionCulling::SuspendQueries).
// Drawing with multisampling off writes every sample of a pixel but is
// counted once per pixel by the GL: a query begun with multisampling off
// multiplies its count by the samples per pixel. So a scope opens after the
// switch changes, and drawing switches it back before its scope closes (an
// outer scope's query begins again then).
class SampleCounter {
public:
    enum Kind { SKY, CLOUDS, TERRAIN, MODELS, GLOWS, FLARE, HUD, KINDS };
    static const char* name(int kind);

    // Forgets the last counts and counts from now on.
    static void start();
    // Ends counting and waits for the answers of its queries.
    static void stop();
    static bool active() { return counting; }
    // Samples of the kind between the last start and stop.
    static std::uint64_t samples(int kind);

    // Counts what is drawn while it lives as the given kind.
    class Scope {
    public:
        explicit Scope(Kind kind);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        bool counted;
    };

private:
    struct Pending {
        unsigned int query;
        Kind kind;
        unsigned int weight;
    };
    static void beginQuery(Kind kind);
    static void endQuery();

    static bool counting;
    static std::vector<Kind> open;          // the open scopes, innermost last
    static unsigned int samplesPerPixel;    // of the buffer drawn into, read at start
    static std::vector<Pending> pending;    // ended or running queries of this count
    static std::vector<unsigned int> spare;  // query names to use again
    static std::uint64_t counts[KINDS];
};
