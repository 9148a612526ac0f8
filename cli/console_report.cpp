#include "console_report.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "core/file_io.h"

namespace velmora::cli {

namespace {

// Returns to the start of the line and erases it.
constexpr const char* kClearLine = "\r\033[K";

// At most maxBytes bytes, never ending inside a UTF-8 character. A character takes at least
// as many bytes as columns, so the cut text also fits maxBytes columns.
std::string CutToBytes(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

}  // namespace

ConsoleReport::ConsoleReport(std::FILE* stream, size_t total, bool showProgress, size_t width)
    : stream_(stream), total_(total), showProgress_(showProgress), width_(width) {}

void ConsoleReport::Failure(const std::string& file, const std::string& message) {
    ClearProgressLine();
    Write("velmora-convert: " + file + ": " + message + "\n");
}

void ConsoleReport::Progress(size_t done, const std::string& file) {
    if (!showProgress_) {
        return;
    }
    std::string line(1, '[');
    line += std::to_string(done) + "/" + std::to_string(total_) + "] ";
    // The last column stays free: writing into it would wrap the line on some terminals.
    const size_t room = width_ == 0                ? std::string::npos
                        : width_ > line.size() + 1 ? width_ - line.size() - 1
                                                   : 0;
    line += CutToBytes(FileNameOf(file), room);
    Write(kClearLine + line);
    progressShown_ = true;
}

void ConsoleReport::Finish() {
    ClearProgressLine();
}

void ConsoleReport::ClearProgressLine() {
    if (progressShown_) {
        Write(kClearLine);
        progressShown_ = false;
    }
}

// One write per piece keeps lines whole even if something else shares the stream.
void ConsoleReport::Write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fflush(stream_);
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

size_t TerminalWidth(std::FILE* stream) {
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) != 0) {
        return 0;
    }
    return size.ws_col;
}

}  // namespace velmora::cli
