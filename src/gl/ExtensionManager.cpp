#include "gl/ExtensionManager.h"

#include <GL/glxew.h>

#include <cstdio>

bool ExtensionManager::verboseOutput = false;

namespace {
// The glew flags are only meaningful after glewInit; before it they read false
// and every wrapper is a no-op.
bool hasGL13() { return GLEW_VERSION_1_3; }
bool hasGL14() { return GLEW_VERSION_1_4; }
bool hasGL15() { return GLEW_VERSION_1_5; }
bool hasArbWindowPos() { return GLEW_ARB_window_pos; }
bool hasArbVbo() { return GLEW_ARB_vertex_buffer_object; }
bool hasArbQuery() { return GLEW_ARB_occlusion_query; }

void report(bool ok) { std::printf(ok ? "     ok" : "     NOT AVAILABLE!"); }

// GLEW names its core function pointers __glewGenBuffers, __glewGenQueries and
// so on: the very names of our wrappers. Inside the class those names would
// find the wrappers themselves, so the core calls are made from here, outside it.
namespace core {
void activeTexture(GLenum unit) { glActiveTexture(unit); }
void windowPos2i(GLint x, GLint y) { glWindowPos2i(x, y); }
void genBuffers(GLsizei n, GLuint* b) { glGenBuffers(n, b); }
void bindBuffer(GLenum t, GLuint b) { glBindBuffer(t, b); }
void bufferData(GLenum t, GLsizeiptr s, const GLvoid* d, GLenum u) { glBufferData(t, s, d, u); }
void deleteBuffers(GLsizei n, const GLuint* b) { glDeleteBuffers(n, b); }
void genQueries(GLsizei n, GLuint* q) { glGenQueries(n, q); }
void beginQuery(GLenum m, GLuint q) { glBeginQuery(m, q); }
void endQuery(GLenum m) { glEndQuery(m); }
void getQueryObjectiv(GLuint q, GLenum m, GLint* v) { glGetQueryObjectiv(q, m, v); }
void getQueryObjectuiv(GLuint q, GLenum m, GLuint* v) { glGetQueryObjectuiv(q, m, v); }
void deleteQueries(GLsizei n, const GLuint* q) { glDeleteQueries(n, q); }
}  // namespace core
}  // namespace

void ExtensionManager::notAvailable(const char* function) {
    if (verboseOutput) std::printf("\n ExtensionManager::%s(): WARNING! function not avialable.", function);
}

void ExtensionManager::initGLEW() {
    const GLenum result = glewInit();
    if (result != GLEW_OK) {
        std::printf("\n ERROR: %s", reinterpret_cast<const char*>(glewGetErrorString(result)));
        return;
    }
    // GLEW's probing can leave a harmless GL error queued; drop it so that the
    // first frame's error report shows only errors of our own.
    glGetError();
    std::printf("\n ExtensionManager.initGLEW(): successfully initialized.\n   Using GLEW %s",
                reinterpret_cast<const char*>(glewGetString(GLEW_VERSION)));
}

void ExtensionManager::configureExtensions() {
    std::printf("\n ExtensionManager.configureExtensions():");
    std::printf("\n   glWindowPos2i requires GL_VERSION_1_4 or GL_ARB_window_pos.");
    report(hasGL14() || hasArbWindowPos());
    std::printf("\n   vertex buffer objects require GL_VERSION_1_5 or GL_ARB_vertex_buffer_object.");
    report(vboAvailable());
    std::printf("\n   hardware visibility culling require GL_VERSION_1_5 or GL_ARB_occlusion_query.");
    report(occlusionQueryAvailable());
    std::printf("\n   the ground's detail texture requires GL_VERSION_1_3 (multitexture, combine).");
    report(multitextureAvailable());
}

bool ExtensionManager::multitextureAvailable() { return hasGL13(); }

void ExtensionManager::__glewActiveTexture(GLenum unit) {
    if (hasGL13()) core::activeTexture(unit);
    else notAvailable("glActiveTexture");
}

bool ExtensionManager::vboAvailable() { return hasGL15() || hasArbVbo(); }
bool ExtensionManager::occlusionQueryAvailable() { return hasGL15() || hasArbQuery(); }

void ExtensionManager::__glewWindowPos2i(GLint x, GLint y) {
    if (hasGL14()) core::windowPos2i(x, y);
    else if (hasArbWindowPos()) glWindowPos2iARB(x, y);
    else notAvailable("glWindowPos2i");
}

void ExtensionManager::__glewGenBuffers(GLsizei n, GLuint* buffers) {
    if (hasGL15()) core::genBuffers(n, buffers);
    else if (hasArbVbo()) glGenBuffersARB(n, buffers);
    else {
        for (GLsizei i = 0; i < n; ++i) buffers[i] = 0;
        notAvailable("glGenBuffers");
    }
}

void ExtensionManager::__glewBindBuffer(GLenum target, GLuint buffer) {
    if (hasGL15()) core::bindBuffer(target, buffer);
    else if (hasArbVbo()) glBindBufferARB(target, buffer);
    else notAvailable("glBindBuffer");
}

void ExtensionManager::__glewBufferData(GLenum target, GLsizeiptr size, const GLvoid* data, GLenum usage) {
    if (hasGL15()) core::bufferData(target, size, data, usage);
    else if (hasArbVbo()) glBufferDataARB(target, size, data, usage);
    else notAvailable("glBufferData");
}

void ExtensionManager::__glewDeleteBuffers(GLsizei n, const GLuint* buffers) {
    if (hasGL15()) core::deleteBuffers(n, buffers);
    else if (hasArbVbo()) glDeleteBuffersARB(n, buffers);
    else notAvailable("glDeleteBuffers");
}

void ExtensionManager::unbindVertexBuffer() { __glewBindBuffer(GL_ARRAY_BUFFER, 0); }

void ExtensionManager::__glewGenQueries(GLsizei n, GLuint* targetArray) {
    if (hasGL15()) core::genQueries(n, targetArray);
    else if (hasArbQuery()) glGenQueriesARB(n, targetArray);
    else notAvailable("glGenQueries");
}

void ExtensionManager::__glewBeginQuery(GLenum mode, GLuint queryName) {
    if (hasGL15()) core::beginQuery(mode, queryName);
    else if (hasArbQuery()) glBeginQueryARB(mode, queryName);
    else notAvailable("glBeginQuery");
}

void ExtensionManager::__glewEndQuery(GLenum mode) {
    if (hasGL15()) core::endQuery(mode);
    else if (hasArbQuery()) glEndQueryARB(mode);
    else notAvailable("glEndQuery");
}

void ExtensionManager::__glewGetQueryObjectiv(GLuint queryName, GLenum mode, GLint* available) {
    if (hasGL15()) core::getQueryObjectiv(queryName, mode, available);
    else if (hasArbQuery()) glGetQueryObjectivARB(queryName, mode, available);
    else notAvailable("glGetQueryObjectiv");
}

void ExtensionManager::__glewGetQueryObjectuiv(GLuint queryName, GLenum mode, GLuint* sampleCount) {
    if (hasGL15()) core::getQueryObjectuiv(queryName, mode, sampleCount);
    else if (hasArbQuery()) glGetQueryObjectuivARB(queryName, mode, sampleCount);
    else notAvailable("glGetQueryObjectuiv");
}

void ExtensionManager::__glewDeleteQueries(GLsizei n, const GLuint* queries) {
    if (hasGL15()) core::deleteQueries(n, queries);
    else if (hasArbQuery()) glDeleteQueriesARB(n, queries);
    else notAvailable("glDeleteQueries");
}

bool ExtensionManager::contextAvailable() { return glXGetCurrentContext() != nullptr; }
