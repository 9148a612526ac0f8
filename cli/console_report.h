// What velmora-convert tells the user on its error stream while it converts.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace velmora::cli {

class ConsoleReport {
  public:
    // With showProgress, a progress line "[k/n] name" is kept at the bottom of the stream,
    // cut to fit width columns (0: no limit); meant for terminals only.
    ConsoleReport(std::FILE* stream, size_t total, bool showProgress, size_t width);
    ConsoleReport(const ConsoleReport&) = delete;
    ConsoleReport& operator=(const ConsoleReport&) = delete;

    // "velmora-convert: FILE: MESSAGE" on a line of its own.
    void Failure(const std::string& file, const std::string& message);
    // The done-th file (counting from 1) is finished.
    void Progress(size_t done, const std::string& file);
    // Clears the progress line.
    void Finish();

  private:
    void ClearProgressLine();
    void Write(const std::string& text);

    std::FILE* stream_;
    size_t total_;
    bool showProgress_;
    size_t width_;
    bool progressShown_ = false;
};

// Whether the stream is a terminal, and its width in columns (0 when unknown).
bool IsTerminal(std::FILE* stream);
size_t TerminalWidth(std::FILE* stream);

}  // namespace velmora::cli
