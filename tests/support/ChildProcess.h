// Runs a program in a child process as a shell would, with a few things
// changed for the child only (another user, a file size limit), and under a
// time limit, so that a hang fails a test instead of stopping the run.
#pragma once

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorbik::testing {

// The unprivileged user that root runs programs as, to meet permissions.
inline constexpr uid_t kNobody = 65534;

struct ChildOptions {
    bool asNobody = false;        // only when the tests run as root
    long long fileSizeLimit = -1; // RLIMIT_FSIZE, with SIGXFSZ ignored
    int timeoutSeconds = 60;
};

struct ChildResult {
    bool exited = false; // false: killed by a signal, or timed out
    int code = -1;
    int signal = 0;
    bool timedOut = false;
    std::string out;
    std::string err;
};

inline ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options = {})
{
    ChildResult result;
    // Everything the child needs is made before the fork: it only calls
    // async-signal-safe functions.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
        return result;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        const int devnull = ::open("/dev/null", O_RDONLY);
        ::dup2(devnull, 0);
        if (options.asNobody &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            [[maybe_unused]] const ssize_t ignored = ::write(2, "cannot become nobody\n", 21);
            ::_exit(126);
        }
        if (options.fileSizeLimit >= 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (child < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return result;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            ::kill(child, SIGKILL);
            break;
        }
        if (::poll(fds, 2, static_cast<int>(left.count())) < 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& p : fds)
        if (p.fd >= 0)
            ::close(p.fd);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!result.timedOut && WIFEXITED(status)) {
        result.exited = true;
        result.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

// Whether RunChild can run a program as nobody: the tests run as root.
inline bool CanRunAsNobody()
{
    return ::geteuid() == 0;
}

} // namespace zorbik::testing
