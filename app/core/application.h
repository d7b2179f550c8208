#pragma once
// The spine of the editor process: framework start-up in a fixed order, the paced main loop, the
// editor's start-up and shutdown, and the framework teardown in the reverse order. The
// components and the editor are reached through small interfaces, so the order and the
// behaviour after a failed step run without any window or device.

#include <string>

#include "app/core/frame_pacer.h"
#include "framework/platform/input_state.h"

namespace app {

// The framework's components as start-up sees them. Each Init step returns false when its
// component could not be set up (after the component's own message to the user); each Free step
// must tolerate a component that was never created.
class FrameworkComponents {
  public:
    virtual ~FrameworkComponents() = default;
    virtual bool InitDebugStream() = 0;
    virtual bool CreateMainWindow() = 0;
    virtual bool InitGraphics() = 0;
    virtual bool InitInput() = 0;
    virtual bool InitSound() = 0;
    virtual bool InitMusic() = 0;

    virtual void FreeMusic() = 0;
    virtual void FreeSound() = 0;
    virtual void FreeInput() = 0;
    virtual void FreeGraphics() = 0;
    virtual void DestroyMainWindow() = 0;

    // Drains the pending window-system events; false once the quit that a close request posts
    // has been seen.
    virtual bool PumpMessages() = 0;
    // Samples the mouse and keyboard for this frame (Escape asks the main window to close) and
    // returns the record, which stays valid until the next poll.
    virtual const framework::InputState& PollInput() = 0;
};

// The editor as the spine drives it.
class EditorSteps {
  public:
    virtual ~EditorSteps() = default;
    virtual void Startup() = 0;
    // One frame on the input sampled for it.
    virtual void Frame(const framework::InputState& input) = 0;
    virtual void Shutdown() = 0;
    // The main window's title, as the documents stand (see DocumentTitle).
    virtual void ShowTitle(const std::string& /*title*/) {}
};

class Application {
  public:
    Application(FrameworkComponents& components, EditorSteps& editor, PacerClock& clock)
        : components_(components), editor_(editor), pacer_(clock) {}
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    // Runs the teardown if nobody has yet.
    ~Application() { ShutdownFramework(); }

    // Starts the components in order and stops at the first that fails, leaving the ones before
    // it for the teardown. On success the pacer runs and the editor's frame is installed.
    bool InitFramework();
    // One pass of the main loop after the events have been pumped: input, the editor's frame on
    // that input, the pacer's wait.
    void FrameStep();
    // The whole run up to the teardown: start-up, the editor, the loop until quit. Returns the
    // process exit code, 0 also after a failed start-up.
    int Run();
    // Frees the components in reverse order; runs once, whatever start-up reached.
    void ShutdownFramework();

    const FramePacer& pacer() const { return pacer_; }

  private:
    FrameworkComponents& components_;
    EditorSteps& editor_;
    FramePacer pacer_;
    EditorSteps* frameCallback_ = nullptr;  // set as the last step of a successful start-up
    bool shutDown_ = false;
};

}  // namespace app
