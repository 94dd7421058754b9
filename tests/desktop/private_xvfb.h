// A private X server for one desktop test: Xvfb started on a display number
// of its own choosing (-displayfd), so that tests running side by side never
// meet, and stopped again by the test.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

struct PrivateXvfb {
    pid_t server = -1;
    std::string display;  // ":N", empty when the server did not start
};

// Starts Xvfb with one screen of size ("1280x720x24"); waits up to 30 s for
// it to say its display number.
inline PrivateXvfb StartPrivateXvfb(const std::string& size)
{
    PrivateXvfb x;
    int fds[2];
    if (pipe(fds) != 0) return x;
    x.server = fork();
    if (x.server == 0) {
        close(fds[0]);
        std::string fd = std::to_string(fds[1]);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", size.c_str(), "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    // Generous: a loaded machine may take its time starting a server.
    while (poll(&wait, 1, 30000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (!number.empty()) x.display = ":" + number;
    return x;
}

inline void StopPrivateXvfb(PrivateXvfb* x)
{
    if (x->server > 0) {
        kill(x->server, SIGTERM);
        waitpid(x->server, nullptr, 0);
    }
    x->server = -1;
    x->display.clear();
}
