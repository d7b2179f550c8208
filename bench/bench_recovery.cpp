// What keeping the recovery copy costs the editor's frame.
//   BM_RobotFrame/0       one frame of the sample robot on the headless device (drawn and
//                         presented) with a key Set in it, as in a busy posing session;
//   BM_RobotFrame/1       the same with the keeper's step after it, the clock moving 33 ms a
//                         frame: every 30th frame looks, formats both documents and hands the
//                         copy to the writer thread, which writes it (and fsyncs) meanwhile;
//   BM_KeeperStepIdle     the step in the frames between looks: a clock compare;
//   BM_KeeperLook/changed:1  the look after a change, on a full model (100 parts, 16 keys): the
//                         fields compared and taken, both documents formatted, the copy posted
//                         (to a sink that drops it); the most one frame in a second pays;
//   BM_KeeperLook/changed:0  the look when nothing changed: the fields compare alone.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/commands/animation_panel_commands.h"
#include "app/core/documents.h"
#include "app/core/session.h"
#include "app/core/stored_light.h"
#include "app/drawing/frame_rendering.h"
#include "app/editor/editor.h"
#include "app/recovery/recovery_keeper.h"
#include "files/recovery/recovery_writer.h"
#include "framework/debug_log.h"
#include "framework/device/graphics_device.h"
#include "framework/platform/egl_surface.h"
#include "scene/draw_primitives.h"
#include "scene/overlay_text.h"

namespace {

namespace fs = std::filesystem;

struct DroppingSink : files::RecoverySink {
    void Write(files::RecoveryCopy copy) override { benchmark::DoNotOptimize(copy.model.data()); }
    void Remove() override {}
    void Flush() override {}
};

void BM_RobotFrame(benchmark::State& state) {
    framework::ProcessLog().Discard();
    const bool keeping = state.range(0) != 0;
    const fs::path folder = fs::temp_directory_path() / "posewrighter_bench_recovery";
    fs::remove_all(folder);
    framework::EglSurface surface;
    framework::GraphicsDevice device(surface);
    if (!device.InitGraphics()) {
        state.SkipWithError("no headless GL device");
        return;
    }
    {
        scene::OverlayFonts overlay(device);
        overlay.Create(0, app::kOverlayFace, app::kOverlayHeight, app::kOverlayWeight);
        auto session = std::make_unique<app::Session>();
        session->textures.SetUploader(&device);
        if (!app::OpenPartFile(session->model,
                               POSEWRIGHTER_SOURCE_DIR "/samples/robot/robot.pwp")) {
            state.SkipWithError("open failed");
            return;
        }
        app::EditorState& editorState = session->editor;
        editorState.Camera.ProjectionMatrix =
            app::EditorProjection(device.ScreenWidth(), device.ScreenHeight());
        scene::SetView(editorState.Camera, {0.0f, 1.5f, -5.0f}, {0.0f, 1.0f, 0.0f},
                       {0.0f, 1.0f, 0.0f});
        app::ApplyStoredLight(editorState, app::StoredLight{});
        const app::FrameScene scene{device,
                                    overlay,
                                    session->model.parts,
                                    session->model.scene,
                                    session->panels,
                                    editorState.Camera,
                                    editorState.Light,
                                    nullptr,
                                    &session->silhouettes};
        const app::FrameModes modes{2};

        files::RecoveryWriter writer(folder.string() + "/");
        app::RecoveryKeeper keeper(*session, writer);
        std::uint32_t now = 0;
        float turn = 0.0f;
        app::RenderFrame(scene, modes);
        for (auto _ : state) {
            // A changed key every frame: each look finds something to write.
            turn += 0.001f;
            session->model.scene.node[2].SetOrientation({turn, 0.0f, 0.0f, 1.0f});
            app::StoreAnimationKey(*session, 1);
            app::RenderFrame(scene, modes);
            if (keeping) keeper.Step(now += 33);
        }
        writer.Flush();
        state.counters["looks_formatted"] = keeper.formatted();
    }
    device.FreeGraphics();
    fs::remove_all(folder);
}
BENCHMARK(BM_RobotFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// A full model's fields, without meshes: 100 parts in a chain of ten-part branches, 16 keys.
std::unique_ptr<app::Session> FullSession() {
    auto session = std::make_unique<app::Session>();
    model::PartTable& parts = session->model.parts;
    parts.count = model::kMaxParts;
    for (int i = 0; i < model::kMaxParts; ++i) {
        const std::string name = "part_" + std::to_string(i) + ".x";
        model::PartTable::SetField(parts.name[i], name);
        model::PartTable::SetField(parts.path[i], "/home/someone/models/robot/" + name);
        parts.level[i] = static_cast<std::int16_t>(i == 0 ? 0 : 1 + (i - 1) % 10);
        parts.parent[i] = static_cast<model::PartIndex>(i == 0              ? -1
                                                        : (i - 1) % 10 == 0 ? 0
                                                                            : i - 1);
        parts.defaultPosition[i] = {0.1f * static_cast<float>(i), 0.5f, -0.25f};
    }
    model::AnimationSet& animation = session->model.animation;
    for (int k = 0; k < model::kMaxKeys; ++k) {
        animation.frameCount[k] = 10;
        for (int i = 0; i < model::kMaxParts; ++i) {
            animation.keyPosition[k][i] = {0.01f * static_cast<float>(k), 0.5f, 0.0f};
            animation.keyOrientation[k][i] = {0.0f, 0.0f, 0.0f, 1.0f};
        }
    }
    return session;
}

void BM_KeeperStepIdle(benchmark::State& state) {
    auto session = FullSession();
    DroppingSink sink;
    app::RecoveryKeeper keeper(*session, sink);
    keeper.Step(0);
    std::uint32_t now = 0;
    for (auto _ : state) {
        keeper.Step(now);
        now = (now + 1) % 900;  // never a second after the start
    }
}
BENCHMARK(BM_KeeperStepIdle);

void BM_KeeperLook(benchmark::State& state) {
    const bool changed = state.range(0) != 0;
    auto session = FullSession();
    DroppingSink sink;
    app::RecoveryKeeper keeper(*session, sink);
    std::uint32_t now = 0;
    keeper.Step(now);
    for (auto _ : state) {
        if (changed) session->model.animation.keyPosition[0][0].x += 1.0f;
        keeper.Step(now += app::kRecoveryIntervalMilliseconds);
    }
    state.counters["formatted"] = keeper.formatted();
}
BENCHMARK(BM_KeeperLook)->ArgName("changed")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
