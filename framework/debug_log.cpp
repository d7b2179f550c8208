#include "framework/debug_log.h"

#include <cstdio>
#include <vector>

#include "framework/command_line.h"
#include "framework/system_report.h"
#include "framework/user_files.h"

namespace framework {

void DebugLog::Message(const char* format, ...) {
    va_list args;
    va_start(args, format);
    MessageV(format, args);
    va_end(args);
}

void DebugLog::MessageV(const char* format, va_list args) {
    va_list sizing;
    va_copy(sizing, args);
    const int length = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    if (length < 0) return;
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    Write(std::string_view(text.data(), static_cast<std::size_t>(length)));
}

void DebugLog::Write(std::string_view text) {
    if (discard_) return;
    if (path_.empty()) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        return;
    }
    // A log that cannot be opened loses the entry; logging never fails the caller.
    if (std::FILE* file = std::fopen(path_.c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

DebugLog& ProcessLog() {
    static DebugLog log;
    return log;
}

void LogMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    ProcessLog().MessageV(format, args);
    va_end(args);
}

void LogSeparator() {
    ProcessLog().Separator();
}

bool InitDebugStream() {
    if (IsSwitchPresent("-dbf")) ProcessLog().SetPath(UserFilePath("debug.txt"));
    LogSeparator();
    LogMessage("InitDebugStream\n");
    WriteSystemReport(ProcessLog(), CollectSystemFacts());
    return true;
}

}  // namespace framework
