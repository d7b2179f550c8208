#pragma once
// A headless editor for the frame benchmarks: the device on an EGL surface, the overlay fonts
// and a session that has opened a part file, with the editor's projection set. The fonts and
// the session (textures, mesh buffers) go before the device is freed.

#include <memory>
#include <string>

#include "app/core/documents.h"
#include "app/core/session.h"
#include "app/drawing/frame_rendering.h"
#include "app/editor/editor.h"
#include "framework/debug_log.h"
#include "framework/device/graphics_device.h"
#include "framework/platform/egl_surface.h"
#include "scene/overlay_text.h"

namespace bench_model {

class BenchEditor {
  public:
    explicit BenchEditor(const std::string& partFile) {
        framework::ProcessLog().Discard();
        if (device.InitGraphics() != 1) {
            error = "no headless GL device";
            return;
        }
        overlay = std::make_unique<scene::OverlayFonts>(device);
        overlay->Create(0, app::kOverlayFace, app::kOverlayHeight, app::kOverlayWeight);
        session = std::make_unique<app::Session>();
        session->textures.SetUploader(&device);
        if (!app::OpenPartFile(session->model, partFile)) {
            error = "open failed";
            return;
        }
        device.transforms.ProjectionMatrix =
            app::EditorProjection(device.ScreenWidth(), device.ScreenHeight());
    }
    ~BenchEditor() {
        session.reset();
        overlay.reset();
        device.FreeGraphics();
    }
    BenchEditor(const BenchEditor&) = delete;
    BenchEditor& operator=(const BenchEditor&) = delete;

    const char* error = nullptr;  // null when the editor is ready
    framework::EglSurface surface;
    framework::GraphicsDevice device{surface};
    std::unique_ptr<scene::OverlayFonts> overlay;
    std::unique_ptr<app::Session> session;
};

}  // namespace bench_model
