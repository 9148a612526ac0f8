#include "file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "input_file.h"

namespace velmora {

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string FileNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FollowSymbolicLinks(const std::string& path) {
    // As many links as the system itself follows in one path.
    constexpr int kMaxLinks = 40;
    std::string current = path;
    for (int link = 0; link < kMaxLinks; ++link) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
        std::string target(static_cast<size_t>(info.st_size) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<size_t>(length) >= target.size()) {
            break;  // gone or changed meanwhile: the write then meets what is there
        }
        target.resize(static_cast<size_t>(length));
        current = target.front() == '/' ? target : DirectoryOf(current).append("/").append(target);
    }
    return current;
}

bool SameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path, TNonRegular nonRegular) {
    return InputFile(path, nonRegular).ReadToEnd(SIZE_MAX);
}

}  // namespace velmora
