// Running a piece of a test in a forked child, for faults that must not hit the test program
// itself (a kill, an address-space limit).
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace velmora::test {

// How a child ended.
struct ChildResult {
    bool exited = false;  // ended by _exit (else by a signal)
    int exitCode = -1;
    int signal = 0;
    std::string report;  // what the child wrote to its report pipe
};

// The outcome of RunInChild's body, as exit codes.
inline constexpr int kChildSucceeded = 0;
inline constexpr int kChildSystemError = 10;   // a velmora::Exception, its message reported
inline constexpr int kChildForeignError = 11;  // any other exception, its what() reported

// Forks; the child runs `body`, reports a velmora::Exception's or other exception's message
// through a pipe and ends with one of the codes above, never returning into the test.
// The parent waits for it.
ChildResult RunInChild(const std::function<void()>& body);

// Forks a child that runs `body` as above; returns its process id without waiting.
pid_t StartChild(const std::function<void()>& body);
ChildResult WaitForChild(pid_t pid);

}  // namespace velmora::test
