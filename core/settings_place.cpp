#include "settings_place.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings.h"

namespace velmora {

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) {
        return entry->pw_dir;
    }
    return "/";
}

bool UserMayWriteFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & kAnyWriteBit) != 0 && ::access(path.c_str(), W_OK) == 0;
}

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

}  // namespace

SettingsPlace SettingsPlaceFor(const std::string& programDirectory) {
    // A settings file already there that may be written keeps its place even in a folder that
    // may not be: the settings writer then writes it in place.
    if (UserMayWrite(programDirectory) || UserMayWriteFile(programDirectory + kSettingsFileName)) {
        return {programDirectory, true};
    }
    return {UserConfigDirectory(), false};
}

std::string UserConfigDirectory() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string base = configHome && configHome[0] == '/'
                                 ? std::string(configHome)
                                 : WithTrailingSlash(HomeDirectory()) + ".config";
    return WithTrailingSlash(base) + "velmora/";
}

bool UserMayWrite(const std::string& directory) {
    struct stat info {};
    return ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           (info.st_mode & kAnyWriteBit) != 0 && ::access(directory.c_str(), W_OK | X_OK) == 0;
}

// By hand rather than with std::filesystem::create_directories, which would let the
// superuser create folders inside a read-only one.
void CreateDirectories(const std::string& directory) {
    namespace fs = std::filesystem;
    fs::path path;
    for (const fs::path& part : fs::path(directory)) {
        path /= part;
        std::error_code error;
        if (part.empty() || fs::is_directory(path, error)) {
            continue;
        }
        const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
        if (!UserMayWrite(parent.string()) || !fs::create_directory(path, error)) {
            return;
        }
    }
}

}  // namespace velmora
