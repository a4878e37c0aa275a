// How fast could the game's frames be, if a frame did nothing but draw its
// triangles? One run of this program runs the game's benchmark
//     zarvik --benchmark SECONDS --seed 1 --benchmark-capture FILE --benchmark-csv FILE
// which keeps the triangles of every 60th frame in window coordinates
// (app/FrameCapture.h), then opens a window of the game's size and pixel
// format and draws each captured frame as one vertex buffer: one texture (a
// terrain tile), depth test on, no lighting, blending, culling, queries or
// state changes between frames. A timed reference frame is: clear colour and
// depth, one glDrawArrays, glFinish, swap, glFinish (the game's benchmark
// also waits for the GL after the swap). Each frame is uploaded and drawn
// once before its REPEATS timed draws.
//
//     render_reference [SECONDS [REPEATS]]     (defaults 60 and 5)
//
// The game is $ZARVIK_GAME, else $ZARVIK_GAME_DIR/zarvik, else the zarvik
// built beside this program (ZARVIK_GAME_BINARY). Prints the game's median frame time (all frames,
// and the captured frames alone), the reference's, and their ratio.

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/Benchmark.h"
#include "app/FrameCapture.h"
#include "app/Renderer.h"
#include "assets/Texture2D.h"

namespace {

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string gameBinary() {
    if (const char* game = std::getenv("ZARVIK_GAME")) return game;
    if (const char* dir = std::getenv("ZARVIK_GAME_DIR")) return std::string(dir) + "/zarvik";
    return ZARVIK_GAME_BINARY;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The folder of the game's data: the game's own, also when it is started through a link.
std::string gameFolder(const std::string& binary) {
    char real[4096];
    return folderOf(realpath(binary.c_str(), real) ? std::string(real) : binary);
}

// The game's benchmark run: its median frame time and every frame's time.
struct GameRun {
    double median = 0.0;
    std::map<std::uint32_t, double> frameMs;  // frame number (from 1) -> total ms
};

std::map<std::uint32_t, double> readFrameTimes(const std::string& csvPath) {
    std::map<std::uint32_t, double> times;
    std::FILE* csv = std::fopen(csvPath.c_str(), "r");
    if (!csv) return times;
    char line[512];
    while (std::fgets(line, sizeof line, csv)) {
        unsigned frame = 0;
        double ms = 0.0;
        if (std::sscanf(line, "%u,%lf", &frame, &ms) == 2) times[frame] = ms;
    }
    std::fclose(csv);
    return times;
}

// Runs the game's benchmark from its folder, echoes its figures and reads its median.
std::optional<GameRun> runGame(const std::string& binary, double seconds, const std::string& capturePath,
                               const std::string& csvPath, const std::string& logPath) {
    char secondsText[32];
    std::snprintf(secondsText, sizeof secondsText, "%g", seconds);
    const std::string command = "cd " + quoted(gameFolder(binary)) + " && " + quoted(binary) + " --benchmark " +
                                secondsText + " --seed 1 --benchmark-capture " + quoted(capturePath) +
                                " --benchmark-csv " + quoted(csvPath) + " 2>" + quoted(logPath);
    std::FILE* game = popen(command.c_str(), "r");
    if (!game) return std::nullopt;
    GameRun run;
    bool found = false;
    char line[1024];
    while (std::fgets(line, sizeof line, game)) {
        if (std::strncmp(line, "benchmark:", 10) != 0) continue;
        std::printf("game %s", line);
        if (std::sscanf(line, "benchmark: frame time median %lf", &run.median) == 1) found = true;
    }
    const int status = pclose(game);
    if (!found || status != 0) {
        // The shell reports a game ended by a signal as 128 + the signal.
        std::fprintf(stderr, "render_reference: the game's benchmark failed (exit status %d, its messages in %s): %s\n",
                     WIFEXITED(status) ? WEXITSTATUS(status) : -1, logPath.c_str(), command.c_str());
        return std::nullopt;
    }
    run.frameMs = readFrameTimes(csvPath);
    return run;
}

// The window, the texture and the vertex buffer the captured frames are drawn with.
class ReferenceRenderer {
public:
    ReferenceRenderer(int width, int height, const std::string& texturePath) : w(width), h(height) {
        int argc = 1;
        char name[] = "render_reference";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayString(Renderer().displayString().c_str());
        glutInitWindowSize(w, h);
        glutInitWindowPosition(100, 100);
        glutCreateWindow("Zarvik reference");
        // Mapped on the screen, as the game's window is once its loop runs.
        glutDisplayFunc([] {});
        glutMainLoopEvent();
        glewInit();
        glGetError();
        glEnable(GL_MULTISAMPLE);
        FrameCapture::loadWindowProjection(w, h);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 0);
        texture = Texture2D::createFromFile(texturePath, GL_REPEAT, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_REPLACE);
        glEnable(GL_TEXTURE_2D);
        texture->bind();
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        const auto stride = static_cast<GLsizei>(sizeof(FrameCapture::Vertex));
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, stride, nullptr);
        glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    }

    // Uploads a frame and draws it once, untimed.
    void upload(const FrameCapture::Frame& frame) {
        count = static_cast<GLsizei>(frame.vertices.size());
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(frame.vertices.size() * sizeof(FrameCapture::Vertex)),
                     frame.vertices.data(), GL_STATIC_DRAW);
        drawFrame();
    }

    // One timed frame, in milliseconds.
    double drawFrame() {
        const auto start = std::chrono::steady_clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawArrays(GL_TRIANGLES, 0, count);
        glFinish();
        glutSwapBuffers();
        glFinish();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }

    bool glOk() const { return glGetError() == GL_NO_ERROR; }
    static int samplesPerPixel() {
        GLint samples = 0;
        glGetIntegerv(GL_SAMPLES, &samples);
        return samples;
    }

private:
    int w, h;
    std::shared_ptr<Texture2D> texture;
    GLuint buffer = 0;
    GLsizei count = 0;
};

struct ReferenceRun {
    double median = 0.0;
    std::size_t frames = 0;
    double meanTriangles = 0.0;
    std::vector<std::uint32_t> numbers;  // the captured frames
    std::vector<double> frameMs;         // each captured frame's median over its draws
};

std::optional<ReferenceRun> runReference(const std::string& capturePath, const std::string& texturePath,
                                         int repeats) {
    FrameCapture capture;
    if (!capture.open(capturePath)) {
        std::fprintf(stderr, "render_reference: %s\n", capture.error().c_str());
        return std::nullopt;
    }
    ReferenceRenderer renderer(capture.width(), capture.height(), texturePath);
    std::printf("reference: window %dx%d, %d samples per pixel\n", capture.width(), capture.height(),
                ReferenceRenderer::samplesPerPixel());
    ReferenceRun run;
    std::vector<double> times;
    double triangles = 0.0;
    FrameCapture::Frame frame;
    while (capture.read(frame)) {
        renderer.upload(frame);
        std::vector<double> draws;
        for (int r = 0; r < repeats; ++r) draws.push_back(renderer.drawFrame());
        times.insert(times.end(), draws.begin(), draws.end());
        run.frameMs.push_back(median(draws));
        triangles += static_cast<double>(frame.triangleCount());
        run.numbers.push_back(frame.number);
    }
    if (!capture.error().empty()) std::fprintf(stderr, "render_reference: %s\n", capture.error().c_str());
    if (!renderer.glOk()) std::fprintf(stderr, "render_reference: a GL error while drawing\n");
    run.frames = run.numbers.size();
    if (run.frames == 0) {
        std::fprintf(stderr, "render_reference: the capture holds no frames\n");
        return std::nullopt;
    }
    run.median = median(times);
    run.meanTriangles = triangles / static_cast<double>(run.frames);
    return run;
}

// The captured frame the reference draws slowest, against the median of its
// captured frames, and what the game took for it: whether a slow frame of the
// game is slow for its triangles alone, with nothing of the game's own work.
void printSlowest(const ReferenceRun& reference, const GameRun& game, double gameCaptured) {
    const std::size_t slowest = static_cast<std::size_t>(
        std::max_element(reference.frameMs.begin(), reference.frameMs.end()) - reference.frameMs.begin());
    const std::uint32_t number = reference.numbers[slowest];
    const double capturedMedian = median(reference.frameMs);
    const double p95 = Benchmark::percentileOf(reference.frameMs, 95.0);
    std::printf("reference: captured frames' 95th percentile %.2f ms, %.2f x their median\n", p95,
                p95 / capturedMedian);
    std::printf("reference: slowest captured frame %u: %.2f ms, %.2f x the captured frames' median\n", number,
                reference.frameMs[slowest], reference.frameMs[slowest] / capturedMedian);
    if (game.frameMs.count(number))
        std::printf("game: frame %u: %.2f ms, %.2f x the same frames' median\n", number, game.frameMs.at(number),
                    game.frameMs.at(number) / gameCaptured);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    if (!(seconds > 0.0 && seconds <= 86400.0) || repeats < 1 || repeats > 1000) {
        std::fprintf(stderr, "usage: render_reference [SECONDS [REPEATS]]\n");
        return 2;
    }
    const std::string binary = gameBinary();
    const char* tmp = std::getenv("TMPDIR");
    std::string capturePath = std::string(tmp && *tmp ? tmp : "/tmp") + "/frames-XXXXXX";
    const int fd = mkstemp(capturePath.data());
    if (fd < 0) {
        std::fprintf(stderr, "render_reference: cannot create a temporary file\n");
        return 1;
    }
    close(fd);
    const std::string csvPath = capturePath + ".csv";
    const std::string logPath = capturePath + ".log";  // the game's standard error, kept when it fails

    const auto game = runGame(binary, seconds, capturePath, csvPath, logPath);
    std::optional<ReferenceRun> reference;
    if (game) reference = runReference(capturePath, gameFolder(binary) + "/terrain/terrain_0_0.jpg", repeats);
    std::remove(capturePath.c_str());
    std::remove(csvPath.c_str());
    if (game) std::remove(logPath.c_str());
    if (!game || !reference) return 1;

    std::vector<double> capturedGame;
    for (std::uint32_t n : reference->numbers)
        if (game->frameMs.count(n)) capturedGame.push_back(game->frameMs.at(n));
    const double gameCaptured = median(capturedGame);
    std::printf("reference: %.0f triangles per frame on average\n", reference->meanTriangles);
    std::printf("reference: frame time median %.2f ms over %zu frames (%d draws each)\n", reference->median,
                reference->frames, repeats);
    std::printf("game: frame time median %.2f ms (%.2f ms over the same %zu frames)\n", game->median, gameCaptured,
                capturedGame.size());
    std::printf("ratio game/reference: %.2f (same frames: %.2f)\n", game->median / reference->median,
                gameCaptured / reference->median);
    printSlowest(*reference, *game, gameCaptured);
    return 0;
}
