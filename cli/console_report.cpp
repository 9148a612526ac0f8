#include "console_report.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>

#include "cli/name_quoting.h"
#include "core/file_io.h"

namespace velmora::cli {

namespace {

// Returns to the start of the line and erases it.
constexpr const char* kClearLine = "\r\033[K";
constexpr int kResizedQuality = 90;

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

// "-67.7%" or "+44.3%": the output's change against the source.
std::string Change(uint64_t from, uint64_t to) {
    if (from == 0) {
        return "";
    }
    const double percent =
        (static_cast<double>(to) - static_cast<double>(from)) * 100.0 / static_cast<double>(from);
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f%%", percent);
    return text;
}

std::string Sizes(uint64_t from, uint64_t to) {
    return std::to_string(from) + " -> " + std::to_string(to) + " bytes";
}

// libjpeg takes quality 0 as 1.
std::string QualityUsed(int compressPercent, int resizePercent) {
    std::string text = "quality " + std::to_string(std::max(1, 100 - compressPercent));
    if (resizePercent < 100) {
        text += ", resized to " + std::to_string(resizePercent) + "% at quality " +
                std::to_string(kResizedQuality);
    }
    return text;
}

}  // namespace

std::string FileLine(const std::string& name, const FileResult& result, const ReportStyle& style) {
    switch (result.outcome) {
        case FileOutcome::kSkipped:
            return name + ": skipped, " + EscapedText(result.message);
        case FileOutcome::kFailed:
            return "velmora-convert: " + name + ": " + EscapedText(result.message);
        case FileOutcome::kConverted:
        case FileOutcome::kKept:
            break;
    }
    std::string line = name + ": " + Sizes(result.sourceBytes, result.outputBytes);
    if (const std::string change = Change(result.sourceBytes, result.outputBytes);
        !change.empty()) {
        line += " (" + change + ")";
    }
    line += ", " + QualityUsed(result.compressPercent, style.resizePercent);
    if (result.outcome == FileOutcome::kKept) {
        line += "; not smaller, the source is kept";
    }
    return line;
}

std::string SummaryLine(const RunTotals& totals, double seconds, bool dryRun) {
    std::string line = dryRun ? "dry run, nothing written: " : "";
    line += std::to_string(totals.converted) + " converted";
    if (totals.converted > 0) {
        line += " (" + Sizes(totals.bytesIn, totals.bytesOut);
        if (const std::string change = Change(totals.bytesIn, totals.bytesOut); !change.empty()) {
            line += ", " + change;
        }
        line += ")";
    }
    char time[32];
    std::snprintf(time, sizeof time, "%.1f s", seconds);
    return line + ", " + std::to_string(totals.failed) + " failed, " +
           std::to_string(totals.skipped) + " skipped, " + std::to_string(totals.kept) +
           " kept in " + time;
}

ConsoleReport::ConsoleReport(std::FILE* stream, size_t total, const ReportStyle& style)
    : stream_(stream), total_(total), style_(style) {}

void ConsoleReport::Started(size_t index, const std::string& name) {
    const std::lock_guard lock(mutex_);
    // With several threads, a file may start a moment after a later one; the line follows
    // the latest.
    if (!style_.progress || (anyStarted_ && index < current_)) {
        return;
    }
    anyStarted_ = true;
    current_ = index;
    currentName_ = QuotedName(FileNameOf(name));
    DrawProgress();
}

void ConsoleReport::Finished(const std::string& name, const FileResult& result) {
    const std::lock_guard lock(mutex_);
    if (result.outcome == FileOutcome::kFailed || style_.fileLines) {
        WriteLine(FileLine(QuotedName(name), result, style_));
    }
}

void ConsoleReport::Finish(const RunTotals& totals, double seconds) {
    const std::lock_guard lock(mutex_);
    ClearProgressLine();
    if (style_.summary) {
        Write(SummaryLine(totals, seconds, style_.dryRun) + "\n");
    }
}

// A line of its own, with the progress line drawn again below it.
void ConsoleReport::WriteLine(const std::string& line) {
    const bool redraw = progressShown_;
    ClearProgressLine();
    Write(line + "\n");
    if (redraw) {
        DrawProgress();
    }
}

void ConsoleReport::DrawProgress() {
    std::string line(1, '[');
    line += std::to_string(current_ + 1) + "/" + std::to_string(total_) + "] ";
    // The last column stays free: writing into it would wrap the line on some terminals.
    const size_t room = style_.width == 0                ? std::string::npos
                        : style_.width > line.size() + 1 ? style_.width - line.size() - 1
                                                         : 0;
    line += CutToBytes(currentName_, room);
    Write(kClearLine + line);
    progressShown_ = true;
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
