// What velmora-convert tells the user on its error stream while it converts.
#pragma once

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

#include "cli/file_result.h"

namespace velmora::cli {

struct ReportStyle {
    // A line for every file (-v, --dry-run, --max-size), not only for failures.
    bool fileLines = false;
    // A progress line "[k/n] name" kept at the bottom of the stream, cut to fit `width`
    // columns (0: no limit); meant for terminals only.
    bool progress = false;
    size_t width = 0;
    // The summary at the end (-v, or with the progress line).
    bool summary = false;
    // Nothing is written: the file lines and the summary say so.
    bool dryRun = false;
    // The resize percent, for the quality shown in file lines.
    int resizePercent = 100;
};

// Every name and message passes through the terminal-safe quoting before it is written.
// Thread-safe: files start on several threads.
class ConsoleReport {
  public:
    ConsoleReport(std::FILE* stream, size_t total, const ReportStyle& style);
    ConsoleReport(const ConsoleReport&) = delete;
    ConsoleReport& operator=(const ConsoleReport&) = delete;

    // The index-th file (counting from 0) is being converted now.
    void Started(size_t index, const std::string& name);
    // A file's result: its failure line, or (with file lines) what became of it.
    void Finished(const std::string& name, const FileResult& result);
    // The summary line (when the style asks for one), then the progress line cleared.
    void Finish(const RunTotals& totals, double seconds);

  private:
    void WriteLine(const std::string& line);
    void DrawProgress();
    void ClearProgressLine();
    void Write(const std::string& text);

    std::mutex mutex_;
    std::FILE* stream_;
    size_t total_;
    ReportStyle style_;
    // The progress line's file: the one started last.
    bool anyStarted_ = false;
    size_t current_ = 0;
    std::string currentName_;
    bool progressShown_ = false;
};

// The line for one file: "NAME: 37313 -> 12034 bytes (-67.7%), quality 25" and what became of
// it. The name is already quoted.
std::string FileLine(const std::string& name, const FileResult& result, const ReportStyle& style);

// "12 converted (1234567 -> 345678 bytes, -72.0%), 1 failed, 2 skipped, 3 kept in 3.4 s".
std::string SummaryLine(const RunTotals& totals, double seconds, bool dryRun);

// Whether the stream is a terminal, and its width in columns (0 when unknown).
bool IsTerminal(std::FILE* stream);
size_t TerminalWidth(std::FILE* stream);

}  // namespace velmora::cli
