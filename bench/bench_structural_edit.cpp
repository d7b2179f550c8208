// A structural edit of the 100-part, million-triangle model, up to the next frame drawn with
// outlines on the headless device: deleting the last part (99 meshes reloaded), then adding it
// back as the last child of its parent (100 meshes reloaded). Every edit reloads every mesh;
// files unchanged on disk since the last reload are not parsed again.
//   delete_ms, add_ms  each edit with its frame;
//   reload_ms          the edit alone (both edits, averaged), without the frame;
//   frame_ms           one frame drawn after nothing changed, for comparison;
//   open_ms            making the device, opening the model and drawing its first frame, every
//                      file parsed: what an edit cost when every reload read every file.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "app/core/session.h"
#include "app/drawing/frame_rendering.h"
#include "bench/bench_editor.h"
#include "bench/bench_model.h"
#include "scene/draw_primitives.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

void BM_StructuralEdit(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "posewrighter_bench_edit";
    const std::string partFile = bench_model::WriteModel(dir);
    {
        const Clock::time_point opening = Clock::now();
        bench_model::BenchEditor editor(partFile);
        if (editor.error != nullptr) {
            state.SkipWithError(editor.error);
            fs::remove_all(dir);
            return;
        }
        editing::Model& model = editor.session->model;
        app::Session* session = editor.session.get();
        app::EditorState& editorState = session->editor;
        scene::SetView(editorState.Camera, {-6, 8, -6}, {1, 0, 1}, {0, 1, 0});
        app::PanelValues panels;
        panels.gridTicked = true;
        panels.outlineTicked = true;
        const app::FrameScene scene{editor.device,     *editor.overlay, model.parts,
                                    model.scene,       panels,          editorState.Camera,
                                    editorState.Light, nullptr,         &session->silhouettes};
        const app::FrameModes modes{model::kNoPart};
        app::RenderFrame(scene, modes);  // the buffers of the opened model
        const double open = SecondsSince(opening);

        const int last = bench_model::kParts - 1;
        const std::string lastPath = (dir / ("part" + std::to_string(last) + ".x")).string();
        double deleting = 0, adding = 0, still = 0, reloading = 0;
        for (auto _ : state) {
            Clock::time_point start = Clock::now();
            session->SetSelectedPart(static_cast<model::PartIndex>(last));
            model.DeletePart();
            reloading += SecondsSince(start);
            app::RenderFrame(scene, modes);
            deleting += SecondsSince(start);

            start = Clock::now();
            session->SetSelectedPart(static_cast<model::PartIndex>(bench_model::ParentOf(last)));
            if (!model.AddChildPart(lastPath) || model.parts.count != bench_model::kParts) {
                state.SkipWithError("add failed");
                break;
            }
            reloading += SecondsSince(start);
            app::RenderFrame(scene, modes);
            adding += SecondsSince(start);

            start = Clock::now();
            app::RenderFrame(scene, modes);
            still += SecondsSince(start);
        }
        const auto perEdit = benchmark::Counter::kAvgIterations;
        state.counters["delete_ms"] = benchmark::Counter(deleting * 1e3, perEdit);
        state.counters["add_ms"] = benchmark::Counter(adding * 1e3, perEdit);
        state.counters["frame_ms"] = benchmark::Counter(still * 1e3, perEdit);
        state.counters["reload_ms"] = benchmark::Counter(reloading / 2 * 1e3, perEdit);
        state.counters["open_ms"] = open * 1e3;
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_StructuralEdit)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
