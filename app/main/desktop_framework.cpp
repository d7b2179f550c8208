#include "app/main/desktop_framework.h"

#include "app/steps/manipulator_drags.h"
#include "framework/debug_log.h"
#include "framework/platform/input_devices.h"
#include "framework/platform/sound.h"
#include "framework/qt/message_box.h"
#include "framework/qt/screens.h"

namespace app {

std::vector<framework::ScreenRect> DesktopEditorWindow::Screens() const {
    return framework::qt::ScreenRects();
}

framework::ScreenRect DesktopEditorWindow::WorkArea() const {
    return framework::qt::WorkAreaOf(window_);
}

DesktopFramework::DesktopFramework(Session& session) : session_(session) {
    window_.SetWindowedQuery([this] { return device_.Windowed() == 1; });
    overlay_.ConnectDeviceHooks();
    // After a box, what was held or pressed in it reads as up: the input source has forgotten
    // it as the box closed, and the record forgets the frame before, so no release is seen
    // either.
    framework::qt::InstallMessageBoxNotices(window_, [this] { ClearInput(); });
}

bool DesktopFramework::InitDebugStream() {
    return framework::InitDebugStream();
}

bool DesktopFramework::CreateMainWindow() {
    return window_.CreateMainWindow();
}

bool DesktopFramework::InitGraphics() {
    if (!device_.InitGraphics()) return false;
    session_.textures.SetUploader(&device_);
    return true;
}

bool DesktopFramework::InitInput() {
    input_ = {};
    return framework::InitDirectInput(events_, device_.Windowed() == 1);
}

bool DesktopFramework::InitSound() {
    return framework::InitDirectSound();
}

bool DesktopFramework::InitMusic() {
    return framework::InitDirectMusic();
}

void DesktopFramework::FreeMusic() {
    framework::FreeDirectMusic();
}

void DesktopFramework::FreeSound() {
    framework::FreeDirectSound();
}

void DesktopFramework::FreeInput() {
    framework::FreeInput();
}

void DesktopFramework::FreeGraphics() {
    session_.textures.SetUploader(nullptr);
    device_.FreeGraphics();
}

void DesktopFramework::DestroyMainWindow() {
    window_.DestroyMainWindow();
}

bool DesktopFramework::PumpMessages() {
    return window_.PumpMessages();
}

const framework::InputState& DesktopFramework::PollInput() {
    framework::PollInput(input_, [this] {
        // Escape during a drag cancels the drag (the frame does that) and ends nothing, not
        // even when held on after it.
        if (DragInProgress(session_.editor)) {
            input_.escapeSpent = true;
            return;
        }
        window_.CloseMainWindow();
    });
    return input_;
}

}  // namespace app
