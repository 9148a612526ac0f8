// The typed errors of the system. Every failure carries its final message text (UTF-8;
// paths inside it are the file system's bytes).
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// "Unknown picture file extension (.%s)" and the base of every codec error.
class EInvalidGraphic : public Exception {
  public:
    using Exception::Exception;
    static EInvalidGraphic UnknownExtension(const std::string& extension);
};

// "JPEG error #%d" with libjpeg's message code (6b numbering).
class EJPEG : public EInvalidGraphic {
  public:
    explicit EJPEG(int code);
    int Code() const { return code_; }

  private:
    int code_;
};

// "Cannot change the size of a JPEG image", "Scan line index out of range".
class EInvalidGraphicOperation : public Exception {
  public:
    using Exception::Exception;
};

class EStreamError : public Exception {
  public:
    using Exception::Exception;
};

// "Cannot open file \"%s\". %s": the operating system's text for the error, or a reason of
// our own where the system did not refuse (a pipe where a file belongs).
class EFOpenError : public EStreamError {
  public:
    EFOpenError(const std::string& path, int osError);
    EFOpenError(const std::string& path, const std::string& reason);
};

// "Cannot create file \"%s\". %s", likewise.
class EFCreateError : public EStreamError {
  public:
    EFCreateError(const std::string& path, int osError);
    EFCreateError(const std::string& path, const std::string& reason);
};

// "Stream read error"
class EReadError : public EStreamError {
  public:
    EReadError();
};

// "Stream write error": a write stored fewer bytes than asked (a full disk).
class EWriteError : public EStreamError {
  public:
    EWriteError();
};

// "Out of memory": no room for a picture's pixels, a file's bytes or the codec's buffers.
class EOutOfMemory : public Exception {
  public:
    EOutOfMemory();
};

// "'%s' is not a valid integer value"
class EConvertError : public Exception {
  public:
    using Exception::Exception;
    static EConvertError NotAnInteger(const std::string& text);
};

// "Unable to write to %s"
class EIniFileException : public Exception {
  public:
    explicit EIniFileException(const std::string& path);
};

// The operating system's text for an error number, with trailing blanks, control characters
// and full stops removed, at most 256 bytes.
std::string OsErrorText(int osError);

// The absolute, lexically normalised form of a path (relative paths are taken from the
// current directory); used in file error messages.
std::string ExpandFileName(const std::string& path);

}  // namespace velmora
