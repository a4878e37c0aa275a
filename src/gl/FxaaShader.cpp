#include "gl/FxaaShader.h"

#include <vector>

#include "gl/ExtensionManager.h"

namespace {

const char* const VERTEX_SOURCE = R"(#version 120
varying vec2 place;
void main() {
    place = gl_MultiTexCoord0.st;
    gl_Position = gl_Vertex;
}
)";

// The edge test and the blend along the edge follow the usual fast
// approximate antialiasing: the luma of the four diagonal neighbours gives
// the edge's direction, two and four reads along it the blend; the wider
// blend is taken unless it reaches beyond the neighbourhood's luma range.
// Its settings were chosen against the game's four-sample frames: only
// strong edges (a third of the brightest luma), blended half-way and
// within two texels, kept the frames closest to them; the textbook
// settings (an eighth, whole, eight texels) blurred the ground's grain and
// long near-level edges, which four samples leave as they are.
// The pass runs at the picture's own size, so every read is of a texel
// and is made nearest where the driver has sampler objects: llvmpipe reads a
// nearest texel at about a quarter of the cost of a filtered one.
const char* const FRAGMENT_SOURCE = R"(#version 120
uniform sampler2D texels;
uniform vec2 texel;
varying vec2 place;
const float EDGE_THRESHOLD = 1.0 / 3.0;
const float EDGE_THRESHOLD_MIN = 1.0 / 8.0;
const float STRENGTH = 0.5;
const float SPAN_MAX = 2.0;
const float REDUCE_MIN = 1.0 / 128.0;
const float REDUCE_MUL = 1.0 / 8.0;
float luma(vec3 c) { return dot(c, vec3(0.299, 0.587, 0.114)); }
void main() {
    vec3 m = texture2D(texels, place).rgb;
    float lumaNW = luma(texture2D(texels, place + vec2(-1.0, -1.0) * texel).rgb);
    float lumaNE = luma(texture2D(texels, place + vec2(1.0, -1.0) * texel).rgb);
    float lumaSW = luma(texture2D(texels, place + vec2(-1.0, 1.0) * texel).rgb);
    float lumaSE = luma(texture2D(texels, place + vec2(1.0, 1.0) * texel).rgb);
    float lumaM = luma(m);
    float lumaMin = min(lumaM, min(min(lumaNW, lumaNE), min(lumaSW, lumaSE)));
    float lumaMax = max(lumaM, max(max(lumaNW, lumaNE), max(lumaSW, lumaSE)));
    if (lumaMax - lumaMin < max(EDGE_THRESHOLD_MIN, lumaMax * EDGE_THRESHOLD)) {
        gl_FragColor = vec4(m, 1.0);
        return;
    }
    vec2 dir = vec2(-((lumaNW + lumaNE) - (lumaSW + lumaSE)), (lumaNW + lumaSW) - (lumaNE + lumaSE));
    float reduce = max((lumaNW + lumaNE + lumaSW + lumaSE) * 0.25 * REDUCE_MUL, REDUCE_MIN);
    float scale = 1.0 / (min(abs(dir.x), abs(dir.y)) + reduce);
    dir = clamp(dir * scale, vec2(-SPAN_MAX), vec2(SPAN_MAX)) * texel;
    vec3 a = 0.5 * (texture2D(texels, place + dir * (1.0 / 3.0 - 0.5)).rgb +
                    texture2D(texels, place + dir * (2.0 / 3.0 - 0.5)).rgb);
    vec3 b = a * 0.5 + 0.25 * (texture2D(texels, place - dir * 0.5).rgb +
                               texture2D(texels, place + dir * 0.5).rgb);
    float lumaB = luma(b);
    gl_FragColor = vec4(mix(m, lumaB < lumaMin || lumaB > lumaMax ? a : b, STRENGTH), 1.0);
}
)";

std::string shaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(text.size()), nullptr, text.data());
    return text.data();
}

GLuint compile(GLenum kind, const char* source, std::string& log) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    log = shaderLog(shader);
    glDeleteShader(shader);
    return 0;
}

}  // namespace

FxaaShader::~FxaaShader() {
    if (!ExtensionManager::contextAvailable()) return;
    if (program != 0) glDeleteProgram(program);
    if (nearest != 0) glDeleteSamplers(1, &nearest);
}

bool FxaaShader::supported() { return ExtensionManager::contextAvailable() && GLEW_VERSION_2_1; }

bool FxaaShader::build() {
    if (program != 0) return true;
    const GLuint vertex = compile(GL_VERTEX_SHADER, VERTEX_SOURCE, log);
    const GLuint fragment = vertex ? compile(GL_FRAGMENT_SHADER, FRAGMENT_SOURCE, log) : 0;
    if (!fragment) {
        if (vertex) glDeleteShader(vertex);
        return false;
    }
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);  // kept by the program while it lives
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(program, static_cast<GLsizei>(text.size()), nullptr, text.data());
        log = text.data();
        glDeleteProgram(program);
        program = 0;
        return false;
    }
    texelsLocation = glGetUniformLocation(program, "texels");
    texelLocation = glGetUniformLocation(program, "texel");
    if (GLEW_VERSION_3_3 || GLEW_ARB_sampler_objects) {
        glGenSamplers(1, &nearest);
        glSamplerParameteri(nearest, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glSamplerParameteri(nearest, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glSamplerParameteri(nearest, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glSamplerParameteri(nearest, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    return true;
}

void FxaaShader::draw(GLuint texture, int textureWidth, int textureHeight) {
    if (program == 0 || textureWidth < 1 || textureHeight < 1) return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT | GL_TEXTURE_BIT);
    GLint activeUnit = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glActiveTexture(GL_TEXTURE0);
    for (GLenum cap : {GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE, GL_SCISSOR_TEST, GL_ALPHA_TEST, GL_STENCIL_TEST})
        glDisable(cap);
    glDepthMask(GL_FALSE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (nearest != 0) glBindSampler(0, nearest);
    glUseProgram(program);
    glUniform1i(texelsLocation, 0);
    glUniform2f(texelLocation, 1.0f / static_cast<float>(textureWidth), 1.0f / static_cast<float>(textureHeight));
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    glUseProgram(0);
    if (nearest != 0) glBindSampler(0, 0);
    glActiveTexture(static_cast<GLenum>(activeUnit));
    glPopAttrib();
}
