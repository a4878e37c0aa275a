#include "GameProcess.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {
using Clock = std::chrono::steady_clock;

std::string capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof(buffer), pipe)) out += buffer;
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}
}  // namespace

GameProcess::GameProcess() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvik-e2e-config-XXXXXX").string();
    if (mkdtemp(pattern.data())) configHome = pattern;
}

GameProcess::~GameProcess() {
    if (pid > 0 && running()) {
        kill(pid, SIGKILL);
        waitForExit(5.0);
    }
    if (reader.joinable()) reader.join();
    std::error_code ignored;
    if (!configHome.empty()) std::filesystem::remove_all(configHome, ignored);
}

std::string GameProcess::gameDir() {
    const char* dir = std::getenv("ZARVIK_GAME_DIR");
    return dir ? dir : "game";
}

std::string GameProcess::buildDir() { return gameDir() + "/.."; }

bool GameProcess::start(const std::string& gameMode) {
    return start(gameMode.empty() ? std::vector<std::string>{} : std::vector<std::string>{gameMode});
}

bool GameProcess::start(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // Ends with the test program, even when a sanitizer aborts it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        // Every way out of the game releases what it built: a leak fails the
        // run (the suppressions for driver libraries come with LSAN_OPTIONS).
        setenv("ASAN_OPTIONS", "detect_leaks=1", 1);
        // No sound output on any machine, as on CI machines without a sound
        // card: OpenAL Soft gets no playback backend at all.
        setenv("ALSOFT_DRIVERS", "none", 1);
        // Best times and screenshots go to the build folder, never into the user's.
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        // Started from another folder on purpose: the game finds its data by itself.
        if (chdir("/") != 0) _exit(126);
        std::vector<char*> argv{const_cast<char*>(executable.c_str())};
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        static char noMenu[] = "--no-menu";
        if (!menus) argv.push_back(noMenu);
        argv.push_back(nullptr);
        execv(executable.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    reader = std::thread(&GameProcess::readOutput, this, fds[0]);
    return true;
}

void GameProcess::readOutput(int fd) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n <= 0) break;
        std::lock_guard<std::mutex> lock(mutex);
        collected.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
}

std::string GameProcess::output() {
    std::lock_guard<std::mutex> lock(mutex);
    return collected;
}

bool GameProcess::waitFor(const std::string& text, double timeoutSeconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (Clock::now() < end) {
        if (output().find(text) != std::string::npos) return true;
        if (!running()) return output().find(text) != std::string::npos;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool GameProcess::running() {
    if (pid <= 0) return false;
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == 0) return true;
    if (r == pid) {
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid = -pid;  // reaped
    }
    return false;
}

int GameProcess::waitForExit(double timeoutSeconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (running()) {
        if (Clock::now() >= end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (reader.joinable()) reader.join();
    return exitCode;
}

std::string GameProcess::windowId() { return capture("xdotool search --name '^Zarvik$' 2>/dev/null | head -n 1"); }

bool GameProcess::xdotool(const std::string& args) {
    const std::string id = windowId();
    if (id.empty()) return false;
    // No window manager under Xvfb: give the game window the input focus first.
    const std::string command = "xdotool windowfocus --sync " + id + " " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

bool GameProcess::key(const std::string& k) { return xdotool("key " + k); }
bool GameProcess::keyDown(const std::string& k) { return xdotool("keydown " + k); }
bool GameProcess::keyUp(const std::string& k) { return xdotool("keyup " + k); }

bool GameProcess::drag(int x, int y, int dx, int dy) {
    const std::string id = windowId();
    if (id.empty()) return false;
    // Several small steps: the game sees motion events while the button is held.
    std::string steps;
    for (int i = 1; i <= 10; ++i)
        steps += " mousemove --window " + id + " " + std::to_string(x + dx * i / 10) + " " +
                 std::to_string(y + dy * i / 10) + " sleep 0.02";
    return xdotool("mousemove --window " + id + " " + std::to_string(x) + " " + std::to_string(y) +
                   " mousedown 1" + steps + " mouseup 1");
}

bool GameProcess::rightClick() { return xdotool("click 3"); }

bool GameProcess::closeWindow() {
    const std::string id = windowId();
    Display* display = id.empty() ? nullptr : XOpenDisplay(nullptr);
    if (!display) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(std::stoul(id));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);  // flushes the event out
    return sent;
}

bool GameProcess::resize(int width, int height) {
    const std::string id = windowId();
    return !id.empty() && xdotool("windowsize " + id + " " + std::to_string(width) + " " + std::to_string(height));
}

bool GameProcess::screenshot(const std::string& path) {
    const std::string command = buildDir() + "/tools/zarvik-screenshot " + path;
    return std::system(command.c_str()) == 0;
}
