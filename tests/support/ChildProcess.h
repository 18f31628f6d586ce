// Running a piece of a test in a child process: for what must not touch the
// test's own process (limits, signals, users) or may end it.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace kelm::test {

// The exit status of `body` run in a child process, or -1 when a signal ended it.
inline int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The same as an ordinary user who owns `folder`: as root, the user
// "nobody" (the folder is given to it first); otherwise the user itself.
inline int AsOrdinaryUser(const std::filesystem::path& folder,
                          const std::function<int(const std::filesystem::path&)>& body) {
    return InChild([&] {
        if (::geteuid() == 0) {
            constexpr uid_t kNobody = 65534;
            if (::chown(folder.c_str(), kNobody, kNobody) != 0 || ::setgid(kNobody) != 0 ||
                ::setuid(kNobody) != 0) {
                return 125;
            }
        }
        return body(folder);
    });
}

}  // namespace kelm::test
