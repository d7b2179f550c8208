#pragma once
// Sends the process debug log to a fresh temporary file for the lifetime of the object, so a
// test can read back exactly what was logged; restores logging to standard error afterwards.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "framework/debug_log.h"

namespace framework::testing_support {

class LogCapture {
  public:
    LogCapture()
        : path_(std::filesystem::temp_directory_path() /
                ("posewrighter_log_" + std::to_string(::getpid()) + ".txt")) {
        std::filesystem::remove(path_);
        ProcessLog().SetPath(path_.string());
    }
    ~LogCapture() {
        ProcessLog().SetPath("");
        std::filesystem::remove(path_);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string Text() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Forgets what was logged so far.
    void Clear() { std::filesystem::remove(path_); }

  private:
    std::filesystem::path path_;
};

}  // namespace framework::testing_support
