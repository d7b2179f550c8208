#include "app/editor/editor.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "app/core/stored_light.h"
#include "app/core/view_size.h"
#include "app/drawing/frame_rendering.h"
#include "app/steps/frame_input.h"
#include "app/steps/view_geometry.h"
#include "files/settings/window_placement.h"
#include "files/settings/window_size.h"
#include "gfx/math/math.h"

namespace app {

void Editor::Startup() {
    ShowTitle(std::string(kMainWindowTitle));
    session_.editor.Camera.ProjectionMatrix =
        EditorProjection(device_.ScreenWidth(), device_.ScreenHeight());

    // A failed box leaves the plane without a mesh: panning then finds nothing to grab.
    session_.panPlaneMesh.CreateBox(10000.0f, 10000.0f, 0.0001f, {1.0f, 1.0f, 0.0f, 1.0f});
    session_.panPlane.Bind(session_.panPlaneMesh, {0.0f, 0.0f, 0.0f}, 1.0f);

    // The main window is on the screen, at its stored size, before the panels, which the window
    // manager keeps above it. Windows with no stored position are then laid out on the main
    // window's screen.
    RestoreClientSize();
    files::RestoreStoredPosition(window_, settings_, kMainWindowSection, window_.Screens());
    files::StartWindows windows;
    if (panels_ != nullptr) {
        panels_->ShowPanels();
        windows = panels_->Windows();
    }
    windows[static_cast<std::size_t>(files::LayoutWindow::kMain)] = {
        &window_, std::string(kMainWindowSection)};
    files::LayOutUnstoredWindows(windows, settings_, window_.WorkArea());
    FrameView(session_.editor.Camera, nullptr);
    // Shown, the window's frame is known: a size that leaves no room for it is fitted again.
    RestoreClientSize();
    overlay_.Create(0, kOverlayFace, kOverlayHeight, kOverlayWeight);

    session_.model.clipboards.Reset();
    session_.model.ResetRebuildPose();
    session_.model.animation.ClearAnimation();
    // The stored light, with its Power position.
    RestoreLight(session_.editor, settings_);
}

void Editor::RestoreClientSize() {
    const std::vector<framework::ScreenRect> screens = window_.Screens();
    const framework::ScreenRect screen =
        files::ScreenOfCorner(settings_.ReadInteger(kMainWindowSection, "LEFT", "0"),
                              settings_.ReadInteger(kMainWindowSection, "TOP", "0"), screens);
    const framework::ScreenRect frame = window_.Frame();
    const ViewSize client = window_.Client().logical;
    const framework::WindowSize edges{frame.right - frame.left - client.width,
                                      frame.bottom - frame.top - client.height};
    const framework::WindowSize size = files::FitClientSize(
        files::ReadClientSize(settings_, kMainWindowSection, framework::kFirstClientSize),
        framework::kMinimumClientSize, edges, screen);
    if (size.width != client.width || size.height != client.height) {
        window_.ResizeClient({size.width, size.height});
    }
}

void Editor::DrawView() {
    const EditorState& state = session_.editor;
    FrameModes modes = ModesOf(state);
    modes.onion = OnionKeysToShow(session_.model.animation, session_.panels, state);
    DrawFrame({device_, overlay_, session_.model.parts, session_.model.scene, session_.panels,
               state.Camera, state.Light, &session_.model.animation, &session_.silhouettes},
              modes);
}

void Editor::Frame(const framework::InputState& input) {
    const ClientSize client = window_.Client();
    // The back buffer and the projection follow the window before anything reads them.
    FollowWindowSize(device_, session_.editor.Camera, client.pixels);
    HandleFrameInput(session_, input, window_.IsActive(), client.logical);
    session_.panelObserver().FrameStepsRan();
    DrawView();
    device_.EndFrame();
}

void Editor::ShowTitle(const std::string& title) {
    if (title == shownTitle_) return;
    if (window_.SetTitle(title)) shownTitle_ = title;
}

void Editor::Shutdown() {
    if (panels_ != nullptr) panels_->ClosePanels();
    files::SaveWindowPosition(window_, settings_, kMainWindowSection);
    const ViewSize client = window_.Client().logical;
    files::LogFailedSettingsWrite(
        files::WriteClientSize(settings_, kMainWindowSection, {client.width, client.height}),
        kMainWindowSection);
}

}  // namespace app
