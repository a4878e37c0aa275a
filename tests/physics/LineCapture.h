#pragma once
// Captures the line segments GL draws (feedback mode) as world points, for
// tests of the physics debug view.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

namespace newton_test {

// The line segments GL received, as pairs of world points.
struct Line {
    float a[3], b[3];
};

// Runs draw with a 1:1 orthographic view of -10..10 and returns every line
// segment it produced, mapped back to world coordinates.
template <typename Draw>
inline std::vector<Line> capturedLines(Draw draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glViewport(0, 0, 200, 200);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10, 10, -10, 10, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    int count = glRenderMode(GL_RENDER);
    // Window x = (x + 10) * 10, y likewise; depth maps -z from [-10, 10] to [0, 1].
    auto world = [](const GLfloat* w, float* out) {
        out[0] = w[0] / 10.0f - 10.0f;
        out[1] = w[1] / 10.0f - 10.0f;
        out[2] = -(w[2] * 20.0f - 10.0f);
    };
    std::vector<Line> lines;
    for (int i = 0; i < count;) {
        GLfloat token = buffer[i];
        if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            Line line;
            world(&buffer[i + 1], line.a);
            world(&buffer[i + 4], line.b);
            lines.push_back(line);
            i += 7;
        } else if (token == GL_POINT_TOKEN || token == GL_PASS_THROUGH_TOKEN) {
            i += token == GL_POINT_TOKEN ? 4 : 2;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return lines;
}

}  // namespace newton_test
