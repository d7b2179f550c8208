#pragma once
// The debug log: entries appended to a file (the "-dbf" switch puts "debug.txt" beside the
// executable, or where user_files.h says when that folder cannot be written) or, without a file,
// written to standard error. Every entry opens and closes the file, so the log is complete even
// when the program stops abruptly.

#include <cstdarg>
#include <string>
#include <string_view>

namespace framework {

inline constexpr std::string_view kLogSeparator = "----------------------------------------\n";

class DebugLog {
  public:
    // Empty path: entries go to standard error.
    void SetPath(std::string path) {
        path_ = std::move(path);
        discard_ = false;
    }
    // Entries go nowhere (the command-line tool keeps its error stream for its own reports).
    void Discard() { discard_ = true; }
    const std::string& Path() const { return path_; }

    // printf-style; the text is written as formatted, whatever its length.
    void Message(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void MessageV(const char* format, va_list args);
    void Write(std::string_view text);
    void Separator() { Write(kLogSeparator); }

  private:
    std::string path_;
    bool discard_ = false;
};

// The process-wide log behind the free functions below.
DebugLog& ProcessLog();

void LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogSeparator();

// Chooses the log's destination from the command line ("-dbf"), writes the separator, the
// line "InitDebugStream" and the system report. Always succeeds: returns true.
bool InitDebugStream();

}  // namespace framework
