#include "app/core/application.h"

namespace app {

bool Application::InitFramework() {
    // The operating system's object model has no counterpart here, so its step is left out.
    if (!components_.InitDebugStream()) return false;
    if (!components_.CreateMainWindow()) return false;
    if (!components_.InitGraphics()) return false;
    if (!components_.InitInput()) return false;
    if (!components_.InitSound()) return false;
    if (!components_.InitMusic()) return false;
    pacer_.Start();
    frameCallback_ = &editor_;
    return true;
}

void Application::FrameStep() {
    const framework::InputState& input = components_.PollInput();
    if (frameCallback_ != nullptr) frameCallback_->Frame(input);
    pacer_.Wait();
}

int Application::Run() {
    if (!InitFramework()) return 0;
    editor_.Startup();
    // No idle wait: the loop runs continuously, held back only by the pacer.
    while (components_.PumpMessages()) FrameStep();
    editor_.Shutdown();
    return 0;
}

void Application::ShutdownFramework() {
    if (shutDown_) return;
    shutDown_ = true;
    components_.FreeMusic();
    components_.FreeSound();
    components_.FreeInput();
    components_.FreeGraphics();
    components_.DestroyMainWindow();
}

}  // namespace app
