#pragma once
#include <sys/types.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The built game, started as a child process under the current X display,
// with its console output collected as it comes.
class GameProcess {
public:
    GameProcess();
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Another program than the built game (an installed one), and another
    // folder for its records and screenshots than <build>/e2e-data; both
    // before start.
    void setExecutable(const std::string& path) { executable = path; }
    void setDataHome(const std::string& path) { dataHome = path; }
    // The game starts with its start and results panels (before start); by
    // default it starts with --no-menu, ready to drive, as the games of
    // these tests were written for.
    void showMenus() { menus = true; }

    // Starts the game; a non-empty gameMode is passed as its one argument.
    bool start(const std::string& gameMode = "");
    // Starts the game with these arguments.
    bool start(const std::vector<std::string>& args);
    // Waits until the output contains text; false after timeoutSeconds.
    bool waitFor(const std::string& text, double timeoutSeconds);
    std::string output();
    // Waits for the process to end; its exit code, or -1 on timeout or signal.
    int waitForExit(double timeoutSeconds);
    bool running();

    // The game window's X id (as xdotool prints it); empty when not found.
    std::string windowId();
    // Real key events through xdotool (XTEST) into the focused game window.
    bool key(const std::string& keyName);
    bool keyDown(const std::string& keyName);
    bool keyUp(const std::string& keyName);
    // A left-button drag from window pixel (x, y) by (dx, dy); a right click.
    bool drag(int x, int y, int dx, int dy);
    bool rightClick();
    // Asks the game window to close, as a window manager's close button does
    // (WM_DELETE_WINDOW); false when there is no window to ask.
    bool closeWindow();
    // Sets the game window's size as a player dragging its border would.
    bool resize(int width, int height);
    // Saves the screen as PNG with the project's screenshot tool.
    bool screenshot(const std::string& path);

    // The game's settings file, in a configuration folder of this process
    // alone (XDG_CONFIG_HOME), removed with it: no game sees another's settings.
    std::string settingsPath() const { return configHome + "/zarvik/settings.toml"; }

    static std::string gameDir();
    static std::string buildDir();

private:
    bool xdotool(const std::string& args);
    void readOutput(int fd);

    std::string executable = gameDir() + "/zarvik";
    std::string dataHome = buildDir() + "/e2e-data";
    std::string configHome;
    bool menus = false;
    pid_t pid = -1;
    int exitCode = -1;
    std::thread reader;
    std::mutex mutex;
    std::string collected;
};
