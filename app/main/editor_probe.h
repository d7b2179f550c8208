#pragma once
// The test probe: with POSEWRIGHTER_PROBE naming a file, the editor appends one line of its
// state (app/editor/probe_line.h) to it after every frame, and again whenever a message box or
// file dialog opens or closes, since the frames wait while one is open. Each line is flushed at
// once, so a window test can wait on the state it expects instead of guessing a time. Without
// the variable no probe exists and nothing is written.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "app/core/application.h"
#include "app/core/session.h"
#include "app/editor/probe_line.h"
#include "app/recovery/recovery_keeper.h"
#include "framework/qt/modal_watch.h"

namespace app {

inline constexpr const char* kProbeVariable = "POSEWRIGHTER_PROBE";

class EditorProbe : public EditorSteps {
  public:
    struct Sources {
        const Session& session;
        const RecoveryKeeper& keeper;
    };

    // The probe on the file the variable names, wrapped around `editor`; none when it is unset
    // or empty, or when the file cannot be opened (said on standard error).
    static std::unique_ptr<EditorProbe> FromEnvironment(EditorSteps& editor, Sources sources);
    ~EditorProbe() override;
    EditorProbe(const EditorProbe&) = delete;
    EditorProbe& operator=(const EditorProbe&) = delete;

    void Startup() override;
    // The editor's frame, then its line.
    void Frame(const framework::InputState& input) override;
    void Shutdown() override;
    void ShowTitle(const std::string& title) override { editor_.ShowTitle(title); }

  private:
    EditorProbe(EditorSteps& editor, Sources sources, std::FILE* file);
    void WriteLine();

    EditorSteps& editor_;
    Sources sources_;
    std::FILE* file_;
    std::uint64_t frame_ = 0;
    framework::qt::ModalWatch modal_;
};

}  // namespace app
