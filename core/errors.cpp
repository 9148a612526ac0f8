#include "errors.h"

#include <cstring>
#include <filesystem>

namespace velmora {

EInvalidGraphic EInvalidGraphic::UnknownExtension(const std::string& extension) {
    return EInvalidGraphic("Unknown picture file extension (." + extension + ")");
}

EJPEG::EJPEG(int code) : EInvalidGraphic("JPEG error #" + std::to_string(code)), code_(code) {}

EFOpenError::EFOpenError(const std::string& path, int osError)
    : EFOpenError(path, OsErrorText(osError)) {}

EFOpenError::EFOpenError(const std::string& path, const std::string& reason)
    : EStreamError("Cannot open file \"" + ExpandFileName(path) + "\". " + reason) {}

EFCreateError::EFCreateError(const std::string& path, int osError)
    : EFCreateError(path, OsErrorText(osError)) {}

EFCreateError::EFCreateError(const std::string& path, const std::string& reason)
    : EStreamError("Cannot create file \"" + ExpandFileName(path) + "\". " + reason) {}

EReadError::EReadError() : EStreamError("Stream read error") {}

EWriteError::EWriteError() : EStreamError("Stream write error") {}

EOutOfMemory::EOutOfMemory() : Exception("Out of memory") {}

EConvertError EConvertError::NotAnInteger(const std::string& text) {
    return EConvertError("'" + text + "' is not a valid integer value");
}

EIniFileException::EIniFileException(const std::string& path)
    : Exception("Unable to write to " + path) {}

std::string OsErrorText(int osError) {
    std::string text = std::strerror(osError);
    if (text.size() > 256) {
        text.resize(256);
    }
    while (!text.empty()) {
        const unsigned char last = static_cast<unsigned char>(text.back());
        if (last > ' ' && last != '.') {
            break;
        }
        text.pop_back();
    }
    return text;
}

std::string ExpandFileName(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        return path;
    }
    return absolute.lexically_normal().string();
}

}  // namespace velmora
