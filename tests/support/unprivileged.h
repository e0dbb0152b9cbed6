#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Permission checks do not apply to root, and CI runs as root: runs `body` in a child
// process that has given up root (as "nobody") when the tests run as root. Returns the
// child's exit status, or -1 if it did not exit normally.
inline int RunUnprivileged(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)) {
            ::_exit(120);
        }
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}
