#include "child_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <map>
#include <stdexcept>

#include "core/errors.h"

namespace velmora::test {

namespace {

// The read end of each running child's report pipe.
std::map<pid_t, int> reportPipes;

void Report(int fd, const char* text) {
    for (size_t length = std::char_traits<char>::length(text); length > 0;) {
        const ssize_t n = ::write(fd, text, length);
        if (n <= 0) {
            return;
        }
        text += n;
        length -= static_cast<size_t>(n);
    }
}

[[noreturn]] void RunBody(const std::function<void()>& body, int reportFd) {
    int code = kChildSucceeded;
    try {
        body();
    } catch (const velmora::Exception& error) {
        Report(reportFd, error.what());
        code = kChildSystemError;
    } catch (const std::exception& error) {
        Report(reportFd, error.what());
        code = kChildForeignError;
    }
    ::_exit(code);
}

}  // namespace

pid_t StartChild(const std::function<void()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        ::close(fds[0]);
        RunBody(body, fds[1]);
    }
    ::close(fds[1]);
    reportPipes[pid] = fds[0];
    return pid;
}

ChildResult WaitForChild(pid_t pid) {
    ChildResult result;
    const int fd = reportPipes.at(pid);
    reportPipes.erase(pid);
    char buffer[512];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            break;
        }
        result.report.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

ChildResult RunInChild(const std::function<void()>& body) {
    return WaitForChild(StartChild(body));
}

}  // namespace velmora::test
