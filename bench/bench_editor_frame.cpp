// One editor frame on the headless device: a 100-part model of a million triangles laid out
// in view, the Outline box ticked, the camera close enough that every part's outline is worked
// out (parts at 15 units or more from the camera skip theirs). The reported time is one frame:
// the input step plus the frame drawn with outlines. The counters split it:
//   logic_ms       the input step, a left click in the middle of the view: the pick casts the
//                  pointer ray at every part;
//   submission_ms  the frame with the Outline box not ticked, start to end: clear, grid and
//                  axes, every part's state changes, material and subset draw from its buffers
//                  (made during the warm-up frame), the selected part's manipulator, the overlay
//                  text, then EndFrame, which waits for llvmpipe's vertex and raster work;
//   outline_ms     the same frame with outlines minus the one without;
//   editor_cpu_ms  the editor's own work in one frame: the input step plus the outlined frame
//                  less the time spent inside the driver: state changes, clears, draws and
//                  presenting (GraphicsDevice::DriverSeconds);
//   outline_cpu_ms the outline's share of editor_cpu_ms: the session's worker pool works the
//                  silhouettes out while this thread submits the parts, so what is left is
//                  listing them and waiting for any not yet done;
//   renderer_ms    the time inside the driver in the outlined frame: the rasteriser's share.
// BM_EditorFrame/0 keeps the camera still, as between drags; BM_EditorFrame/1 turns it a little
// every frame, as an orbit drag does, so that no silhouette can be reused.
// The CPU column is the main thread over the whole iteration (both frames), without the
// rasteriser's own threads.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/core/session.h"
#include "app/core/stored_light.h"
#include "app/drawing/frame_rendering.h"
#include "app/editor/editor.h"
#include "app/steps/frame_input.h"
#include "bench/bench_editor.h"
#include "bench/bench_model.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"
#include "scene/overlay_text.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Parts of 0.5 x 1 units on a 10 x 10 layout, about 5.5 x 10.5 units in all.
constexpr float kCell = 0.01f;
constexpr int kLayoutColumns = 10;
constexpr float kColumnStep = 0.55f, kRowStep = 1.05f;
// Above one long side of the layout, looking at the middle of part 55 near the layout's centre
// (where the click lands): the whole layout is in view and the farthest part's origin stands
// about 14 units away.
constexpr gfx::Vec3 kEye{-4.8f, 8.2f, 5.75f};
constexpr gfx::Vec3 kTarget{3.0f, 0.0f, 5.75f};
constexpr float kOutlineDistance = 15.0f;  // as scene/mesh_object_draw.cpp

app::PanelValues BenchPanels(bool grid, bool outline) {
    app::PanelValues panels;
    panels.gridTicked = grid;
    panels.outlineTicked = outline;
    return panels;
}

std::vector<gfx::Vec3> LayoutPositions() {
    std::vector<gfx::Vec3> positions;
    for (int i = 0; i < bench_model::kParts; ++i) {
        positions.push_back({static_cast<float>(i % kLayoutColumns) * kColumnStep, 0.0f,
                             static_cast<float>(i / kLayoutColumns) * kRowStep});
    }
    return positions;
}

double SecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Share of the screen the model covers, drawn without grid and outlines.
double CoveredShare(const app::FrameScene& scene, const app::FrameModes& modes) {
    app::RenderFrame(scene, modes);
    const std::vector<std::uint32_t> pixels = scene.device.ReadPixels();
    std::size_t covered = 0;
    for (const std::uint32_t pixel : pixels) covered += pixel != app::kBackgroundColour ? 1 : 0;
    return pixels.empty() ? 0.0 : static_cast<double>(covered) / static_cast<double>(pixels.size());
}

void BM_EditorFrame(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "posewrighter_bench_frame";
    const std::string partFile = bench_model::WriteModel(dir, kCell, LayoutPositions());
    {
        bench_model::BenchEditor editor(partFile);
        if (editor.error != nullptr) {
            state.SkipWithError(editor.error);
            fs::remove_all(dir);
            return;
        }
        framework::GraphicsDevice& device = editor.device;
        scene::OverlayFonts& overlay = *editor.overlay;
        app::Session* session = editor.session.get();
        const model::PartTable& parts = session->model.parts;
        const editing::PartScene& nodes = session->model.scene;
        app::EditorState& editorState = session->editor;
        scene::SetView(editorState.Camera, kEye, kTarget, {0.0f, 1.0f, 0.0f});
        app::ApplyStoredLight(editorState, app::StoredLight{});
        const framework::ViewTransforms& camera = editorState.Camera;
        const app::ViewLight& light = editorState.Light;

        const app::ClientView view{editorState.Camera, device.ScreenWidth(), device.ScreenHeight()};
        framework::InputState click;
        click.buttons[0] = true;  // down now, up at the poll before: pressed in this frame
        click.cursor = {device.ScreenWidth() / 2, device.ScreenHeight() / 2};
        const app::PanelValues withOutlines = BenchPanels(true, true);
        const app::PanelValues withoutOutlines = BenchPanels(true, false);
        const app::PanelValues modelOnly = BenchPanels(false, false);
        session->panels = withOutlines;  // what picking reads
        scene::SilhouettePool* pool = &session->silhouettes;
        const app::FrameScene outlinedFrame{device, overlay, parts,   nodes, withOutlines,
                                            camera, light,   nullptr, pool};
        const app::FrameScene plainFrame{device, overlay, parts,   nodes, withoutOutlines,
                                         camera, light,   nullptr, pool};

        // Warm-up: the pick sets the selection the frames show; the first draw makes the buffers.
        app::HandleCameraAndPicking(*session, view, click, true);
        const app::FrameModes modes{session->editor.SelectedPart};
        app::RenderFrame(outlinedFrame, modes);
        const double covered =
            CoveredShare({device, overlay, parts, nodes, modelOnly, camera, light}, modes);

        const bool moving = state.range(0) != 0;
        double logic = 0, submission = 0, outlined = 0;
        double plainDriver = 0, outlinedDriver = 0;
        int frame = 0;
        for (auto _ : state) {
            if (moving) {
                // A quarter of a degree further round the target every frame.
                const float angle = 0.0044f * static_cast<float>(++frame);
                const gfx::Vec3 arm = kEye - kTarget;
                const gfx::Vec3 eye{kTarget.x + arm.x * std::cos(angle) - arm.z * std::sin(angle),
                                    kEye.y,
                                    kTarget.z + arm.x * std::sin(angle) + arm.z * std::cos(angle)};
                scene::SetView(editorState.Camera, eye, kTarget, {0.0f, 1.0f, 0.0f});
            }
            const Clock::time_point start = Clock::now();
            app::HandleCameraAndPicking(*session, view, click, true);
            const Clock::time_point picked = Clock::now();
            const double driverBefore = device.DriverSeconds();
            app::RenderFrame(plainFrame, modes);
            const Clock::time_point plainDone = Clock::now();
            const double driverBetween = device.DriverSeconds();
            app::RenderFrame(outlinedFrame, modes);
            const Clock::time_point outlinedDone = Clock::now();

            logic += SecondsBetween(start, picked);
            submission += SecondsBetween(picked, plainDone);
            outlined += SecondsBetween(plainDone, outlinedDone);
            plainDriver += driverBetween - driverBefore;
            outlinedDriver += device.DriverSeconds() - driverBetween;
            state.SetIterationTime(SecondsBetween(start, picked) +
                                   SecondsBetween(plainDone, outlinedDone));
        }

        std::int64_t triangles = 0;
        int outlinedParts = 0;
        for (int i = 0; i < parts.count; ++i) {
            triangles += nodes.mesh[i].d3dMesh->NumFaces();
            const gfx::Vec3 origin = nodes.node[i].WorldPosition();
            if (gfx::Vec3Length(kEye - origin) < kOutlineDistance) ++outlinedParts;
        }
        const auto frames = static_cast<double>(state.iterations());
        const auto perFrame = benchmark::Counter::kAvgIterations;
        state.counters["logic_ms"] = benchmark::Counter(logic * 1e3, perFrame);
        state.counters["submission_ms"] = benchmark::Counter(submission * 1e3, perFrame);
        state.counters["outline_ms"] = benchmark::Counter((outlined - submission) * 1e3, perFrame);
        state.counters["editor_cpu_ms"] =
            benchmark::Counter((logic + outlined - outlinedDriver) * 1e3, perFrame);
        state.counters["outline_cpu_ms"] = benchmark::Counter(
            ((outlined - outlinedDriver) - (submission - plainDriver)) * 1e3, perFrame);
        state.counters["renderer_ms"] = benchmark::Counter(outlinedDriver * 1e3, perFrame);
        state.counters["triangles"] = static_cast<double>(triangles);
        state.counters["outlined_parts"] = outlinedParts;
        state.counters["screen_covered"] = covered;
        if (frames > 0 && logic > 0 && outlined > 0) {
            // Triangles ray-tested by the pick, and drawn in the frame with outlines, a second.
            state.counters["picked_tri/s"] = static_cast<double>(triangles) * frames / logic;
            state.counters["drawn_tri/s"] = static_cast<double>(triangles) * frames / outlined;
        }
        state.SetLabel("selected part " + std::to_string(modes.selectedPart));
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_EditorFrame)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);

}  // namespace
