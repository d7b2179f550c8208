// A soak of the editor's frame: 10,000 frames of random mouse input (buttons, cursor, wheel) and
// panel commands in random order (every Part panel command with the files it asks for, keys
// and frame counts, the boxes, the drags armed, the light, the material rows and track bars)
// through the input step and the drawn frame, on the sample robot. Under the sanitizers any
// report or leak fails the run. Every 1,000 frames the sample is opened again and drawn from
// the start-up view, so that each checkpoint sees the same model; the heap in use there must not
// grow from one half of the run to the other.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/commands/animation_panel_commands.h"
#include "app/commands/part_panel_commands.h"
#include "app/core/editor_actions.h"
#include "app/editor/editor.h"
#include "app/steps/frame_input.h"
#include "app/steps/view_geometry.h"
#include "framework/notice.h"
#include "tests/app/editor_test_support.h"
#include "tests/framework/headless_device.h"

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's count of the bytes its allocator has handed out and not taken back
// (declared here: GCC installs no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

std::size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

const std::filesystem::path kRobot =
    std::filesystem::path(POSEWRIGHTER_TEST_DATA) / ".." / ".." / "samples" / "robot";

// The Material panel's part, as the panel plays it: the list follows the meshes.
class MaterialFollower : public app::PanelObserver {
  public:
    MaterialFollower(app::Session& session, files::SettingsFile settings)
        : session_(session), settings_(std::move(settings)) {}
    void StoreMaterialSettings() override {
        EXPECT_TRUE(app::SaveMaterialSettings(session_.materials, settings_).ok());
    }
    void MaterialListChanged() override {
        app::RebuildMaterialList(session_.materials, session_.PartMeshes(), settings_);
    }

  private:
    app::Session& session_;
    files::SettingsFile settings_;
};

class SoakTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(work_);
        // Save writes back to the file opened: the robot is opened from a copy of its own.
        std::filesystem::copy(kRobot, robot_);
        framework::SetNoticeHandler([](std::string_view) {});
    }
    void TearDown() override {
        framework::SetNoticeHandler({});
        session_.SetPanelObserver(nullptr);
        std::filesystem::remove_all(work_);
    }

    std::optional<std::string> Choose(const app::FileRequest& request) {
        if (request.save) return (work_ / ("saved." + std::string(request.extension))).string();
        if (request.extension == app::kMeshFileExtension) {
            static const char* meshes[] = {"head.x", "hand_l.x", "upper_leg_r.x", "missing.x"};
            return (robot_ / meshes[random_() % 4]).string();
        }
        if (request.extension == app::kPartFileExtension) return (robot_ / "robot.pwp").string();
        return (robot_ / "robot.pwa").string();
    }
    int Pick(int count) { return static_cast<int>(random_() % static_cast<unsigned>(count)); }

    // One random command of a panel.
    void PanelCommand() {
        app::Session& s = session_;
        const app::MaterialMeshes meshes = s.PartMeshes();
        switch (Pick(12)) {
            case 0:
            case 1: {
                const auto command = app::kPartPanelCommands[Pick(app::kPartPanelCommands.size())];
                app::RunPartPanelCommand(s, command, chooseFile_);
                break;
            }
            case 2:
                app::StoreAnimationKey(s, 1 + Pick(16));
                break;
            case 3:
                app::FetchAnimationKey(s, 1 + Pick(16));
                break;
            case 4:
                app::SetKeyFrameCount(s, 1 + Pick(3), Pick(12));
                break;
            case 5:
                app::SetPlaying(s, !s.playing());
                break;
            case 6:
                app::SetGridShown(s, Pick(2) == 0);
                app::SetOutlineShown(s, Pick(2) == 0);
                app::SetHandlingLocal(s, Pick(2) == 0);
                break;
            case 7:
                // Armed with or without a selection, so that both ways are soaked.
                s.editor.Handle = static_cast<app::HandleMode>(Pick(7));
                s.editor.HandlePhase = app::DragPhase::kArmed;
                break;
            case 8:
                app::ArmLightDrag(s.editor, static_cast<app::LightDragMode>(Pick(3)));
                break;
            case 9:
                app::SetLightPowerPosition(s.editor, Pick(11));
                break;
            case 10:
                app::SelectMaterialRow(s.materials, Pick(8) - 1);
                app::StepMaterialSlider(s.materials, meshes, Pick(3), Pick(2) == 0 ? -1 : 1);
                break;
            default:
                app::EndMaterialSliderChange(s.materials, meshes, Pick(3), Pick(1001));
                app::ScaleInput(s, std::to_string(Pick(300) / 100.0), 3);
                break;
        }
    }

    // The mouse as a restless user moves it: buttons go down and up now and then, the cursor
    // wanders (also out of the view), the wheel turns sometimes.
    void NextInput(framework::InputState& input) {
        input.previousButtons = input.buttons;
        for (bool& button : input.buttons) {
            if (Pick(12) == 0) button = !button;
        }
        input.screenCursor.x += Pick(41) - 20;
        input.screenCursor.y += Pick(41) - 20;
        input.screenCursor.x = std::clamp(input.screenCursor.x, -100, 740);
        input.screenCursor.y = std::clamp(input.screenCursor.y, -100, 580);
        input.cursor = {std::clamp(input.screenCursor.x, 0, 640),
                        std::clamp(input.screenCursor.y, 0, 480)};
        input.wheel = Pick(10) == 0 ? (Pick(2) == 0 ? -120 : 120) : 0;
    }

    const std::filesystem::path work_ = std::filesystem::temp_directory_path() /
                                        ("posewrighter_soak_" + std::to_string(::getpid()));
    const std::filesystem::path robot_ = work_ / "robot";
    app::testing_support::QuietLog quietLog_;
    app::Session session_;
    app::testing_support::FakeWindow window_;
    framework::testing_support::HeadlessDevice headless_;
    scene::OverlayFonts overlay_{headless_.device};
    std::mt19937 random_{20261209};
    app::ChooseFile chooseFile_ = [this](const app::FileRequest& r) { return Choose(r); };
};

TEST_F(SoakTest, TenThousandRandomFramesKeepTheHeapFlat) {
    ASSERT_TRUE(headless_.created);
    MaterialFollower materials(session_, files::SettingsFile(work_ / "Posewrighter.ini"));
    session_.SetPanelObserver(&materials);
    overlay_.ConnectDeviceHooks();
    app::Editor editor(session_, headless_.device, overlay_, window_,
                       files::SettingsFile(work_ / "Posewrighter.ini"));
    editor.Startup();

    framework::InputState input;
    input.screenCursor = {320, 240};
    std::vector<std::size_t> checkpoints;
    for (int frame = 0; frame < 10000; ++frame) {
        if (frame % 1000 == 0) {
            // The same model at every checkpoint: the sample opened again, nothing held down.
            input = {};
            input.screenCursor = {320, 240};
            session_.editor.Handle = app::HandleMode::kIdle;
            session_.editor.LightDrag = app::LightDragMode::kIdle;
            app::SetPlaying(session_, false);
            app::SetGridShown(session_, true);
            app::SetOutlineShown(session_, false);
            std::filesystem::copy_file(kRobot / "robot.pwp", robot_ / "robot.pwp",
                                       std::filesystem::copy_options::overwrite_existing);
            ASSERT_TRUE(app::RunPartPanelCommand(session_, app::PartPanelCommand::kOpenPartFile,
                                                 chooseFile_));
            // Seen from where the editor starts, drawn twice without input.
            app::FrameView(session_.editor.Camera, nullptr);
            for (int still = 0; still < 2; ++still) {
                app::HandleFrameInput(session_, input, true, {640, 480});
                editor.DrawView();
                headless_.device.EndFrame();
            }
            if (frame > 0) checkpoints.push_back(HeapInUse());
        }
        NextInput(input);
        if (Pick(15) == 0) PanelCommand();
        app::HandleFrameInput(session_, input, true, {640, 480});
        editor.DrawView();
        headless_.device.EndFrame();
    }
    // From frame 1,000 on the heap holds level: the driver may still make a program for a state
    // it meets for the first time, but nothing grows with the frames. A leak or a list that
    // grows by some 64 bytes a frame would put the later checkpoints above the earlier ones.
    ASSERT_EQ(checkpoints.size(), 9u);
    const std::size_t earlier = *std::max_element(checkpoints.begin(), checkpoints.begin() + 5);
    const std::size_t later = *std::max_element(checkpoints.begin() + 5, checkpoints.end());
    constexpr std::size_t kSlack = 256 * 1024;
    EXPECT_LE(later, earlier + kSlack) << "heap at frames 1000 .. 5000 up to " << earlier
                                       << " bytes, at 6000 .. 9000 up to " << later;
    editor.Shutdown();
}

}  // namespace
