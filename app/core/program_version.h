#pragma once
// The version both programs report with --version; the project's version in CMakeLists.txt.

namespace app {

inline constexpr const char* kProgramVersion = POSEWRIGHTER_VERSION;

}  // namespace app
