#include "writer_temporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string_view>

namespace velmora {

namespace {

constexpr std::string_view kMark = "velmora-";
constexpr size_t kRandomDigits = 8;

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// The process id in a name of the form ".velmora-PID-RANDOM" or ".NAME.velmora-PID-RANDOM".
std::optional<pid_t> WriterOf(std::string_view name) {
    if (name.size() < 1 + kMark.size() + 2 + kRandomDigits || name.front() != '.') {
        return std::nullopt;
    }
    const size_t dash = name.size() - kRandomDigits - 1;
    if (name[dash] != '-') {
        return std::nullopt;
    }
    for (size_t i = dash + 1; i < name.size(); ++i) {
        if (!IsHexDigit(name[i])) {
            return std::nullopt;
        }
    }
    size_t digits = dash;
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') {
        --digits;
    }
    if (digits == dash || dash - digits > 9 || digits < kMark.size() + 1) {
        return std::nullopt;
    }
    const size_t mark = digits - kMark.size();
    if (name.substr(mark, kMark.size()) != kMark || name[mark - 1] != '.') {
        return std::nullopt;
    }
    pid_t pid = 0;
    for (size_t i = digits; i < dash; ++i) {
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

bool ProcessIsGone(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string NewTemporaryName() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    char name[64];
    std::snprintf(name, sizeof name, ".%.*s%d-%08x", int(kMark.size()), kMark.data(),
                  int(::getpid()), random() ^ (counter++ * 2654435761u));
    return name;
}

void RemoveStaleTemporaries(int directoryFd) {
    const int listing = ::openat(directoryFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return;  // a directory that may be written but not read keeps what it holds
    }
    const std::unique_ptr<DIR, DirectoryCloser> directory(::fdopendir(listing));
    if (!directory) {
        ::close(listing);
        return;
    }
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::optional<pid_t> writer = WriterOf(entry->d_name);
        struct stat info {};
        if (!writer || ::fstatat(directoryFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || info.st_uid != user || !ProcessIsGone(*writer)) {
            continue;
        }
        ::unlinkat(directoryFd, entry->d_name, 0);
    }
}

}  // namespace velmora
