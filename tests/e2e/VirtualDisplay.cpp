// The end-to-end games run on a virtual X server of their own, started for
// the test program and stopped at its end: the keys the tests send reach
// this program's game and nothing else, so several programs (and the
// developer's desktop) can run at the same time.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class VirtualDisplay : public testing::Environment {
public:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Ends with the test program, even when a sanitizer aborts it.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::close(fds[0]);
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, STDOUT_FILENO);
            ::dup2(quiet, STDERR_FILENO);
            // -displayfd: the server takes the first free display number and
            // writes it to the pipe once it accepts clients.
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "+extension", "GLX",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start (is it installed? scripts/deps.sh installs it)";
        setenv("DISPLAY", (":" + number).c_str(), 1);
    }

    void TearDown() override {
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }

private:
    pid_t pid = -1;
};

testing::Environment* const display = testing::AddGlobalTestEnvironment(new VirtualDisplay);

}  // namespace
