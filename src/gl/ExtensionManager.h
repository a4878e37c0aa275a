#pragma once
#include <GL/glew.h>

// Loads the GL entry points above 1.1 through GLEW and offers one call per
// needed function that uses the core version (GL 1.4/1.5) or the matching ARB
// extension, whichever the driver has; without either the call does nothing.
class ExtensionManager {
public:
    // Print a warning when a function the driver lacks is called.
    static bool verboseOutput;

    static void initGLEW();
    static void configureExtensions();

    // A second texture unit and the combine environment (GL 1.3).
    static bool multitextureAvailable();
    static bool vboAvailable();
    static bool occlusionQueryAvailable();
    // A GL context is current on this thread (GL calls made without one are skipped).
    static bool contextAvailable();

    static void __glewActiveTexture(GLenum unit);
    static void __glewWindowPos2i(GLint x, GLint y);

    static void __glewGenBuffers(GLsizei n, GLuint* buffers);
    static void __glewBindBuffer(GLenum target, GLuint buffer);
    static void __glewBufferData(GLenum target, GLsizeiptr size, const GLvoid* data, GLenum usage);
    static void __glewDeleteBuffers(GLsizei n, const GLuint* buffers);
    static void unbindVertexBuffer();

    static void __glewGenQueries(GLsizei nrOfQueries, GLuint* targetArray);
    static void __glewBeginQuery(GLenum mode, GLuint queryName);
    static void __glewEndQuery(GLenum mode);
    static void __glewGetQueryObjectiv(GLuint queryName, GLenum mode, GLint* available);
    static void __glewGetQueryObjectuiv(GLuint queryName, GLenum mode, GLuint* sampleCount);
    static void __glewDeleteQueries(GLsizei nrOfQueries, const GLuint* queries);

private:
    static void notAvailable(const char* function);
};
