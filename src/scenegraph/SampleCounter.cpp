#include "scenegraph/SampleCounter.h"

#include "gl/ExtensionManager.h"

bool SampleCounter::counting = false;
std::vector<SampleCounter::Kind> SampleCounter::open;
unsigned int SampleCounter::samplesPerPixel = 1;
std::vector<SampleCounter::Pending> SampleCounter::pending;
std::vector<unsigned int> SampleCounter::spare;
std::uint64_t SampleCounter::counts[KINDS] = {};

const char* SampleCounter::name(int kind) {
    static const char* names[KINDS] = {"sky", "clouds", "terrain", "models", "halos and glows", "flare", "HUD"};
    return kind >= 0 && kind < KINDS ? names[kind] : "?";
}

void SampleCounter::start() {
    if (counting) stop();
    for (auto& count : counts) count = 0;
    counting = ExtensionManager::occlusionQueryAvailable();
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    samplesPerPixel = samples > 1 ? static_cast<unsigned int>(samples) : 1u;
}

void SampleCounter::stop() {
    if (!counting) return;
    // A scope still open loses the rest of its drawing; one query runs at a time.
    if (!open.empty()) endQuery();
    open.clear();
    for (const Pending& p : pending) {
        GLuint samples = 0;
        ExtensionManager::__glewGetQueryObjectuiv(p.query, GL_QUERY_RESULT, &samples);
        counts[p.kind] += static_cast<std::uint64_t>(samples) * p.weight;
        spare.push_back(p.query);
    }
    pending.clear();
    counting = false;
}

std::uint64_t SampleCounter::samples(int kind) { return kind >= 0 && kind < KINDS ? counts[kind] : 0; }

void SampleCounter::beginQuery(Kind kind) {
    GLuint query = 0;
    if (spare.empty()) {
        ExtensionManager::__glewGenQueries(1, &query);
    } else {
        query = spare.back();
        spare.pop_back();
    }
    const unsigned int weight = glIsEnabled(GL_MULTISAMPLE) ? 1u : samplesPerPixel;
    pending.push_back({query, kind, weight});
    ExtensionManager::__glewBeginQuery(GL_SAMPLES_PASSED, query);
}

void SampleCounter::endQuery() { ExtensionManager::__glewEndQuery(GL_SAMPLES_PASSED); }

SampleCounter::Scope::Scope(Kind kind) : counted(counting) {
    if (!counted) return;
    if (!SampleCounter::open.empty()) endQuery();
    SampleCounter::open.push_back(kind);
    beginQuery(kind);
}

SampleCounter::Scope::~Scope() {
    if (!counted || !counting) return;
    endQuery();
    SampleCounter::open.pop_back();
    if (!SampleCounter::open.empty()) beginQuery(SampleCounter::open.back());
}
