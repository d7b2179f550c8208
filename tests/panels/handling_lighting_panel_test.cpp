// The Handling and Lighting panels on the session: a press on a picture arms its drag, Local is
// ticked at every start, the Power up-down keeps to 0 .. 10 and sets the light as a change ends,
// and closing stores the light.

#include <unistd.h>

#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "app/core/editor_actions.h"
#include "app/core/editor_state.h"
#include "framework/debug_log.h"
#include "panels/tool_panels.h"
#include "scene/draw_primitives.h"
#include "tests/framework/headless_device.h"
#include "tests/panels/panel_test_support.h"

namespace {

class HandlingLightingPanelTest : public panels::testing_support::PanelTest {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        ASSERT_TRUE(headless.created);
    }
    void TearDown() override {
        if (panels != nullptr) panels->ClosePanels();
        std::filesystem::remove(path);
        framework::ProcessLog().SetPath("");
    }
    // The panels opened on a settings file holding `settings`.
    void Open(const std::string& settings) {
        if (panels != nullptr) panels->ClosePanels();
        std::ofstream(path, std::ios::binary) << settings;
        panels = std::make_unique<panels::ToolPanels>(
            session, files::SettingsFile(path),
            [](const app::FileRequest&) { return std::optional<std::string>(); }, true);
        panels->ShowPanels();
        ASSERT_NE(handling(), nullptr);
        ASSERT_NE(lighting(), nullptr);
    }
    panels::HandlingPanel* handling() const { return panels->handlingPanel(); }
    panels::LightingPanel* lighting() const { return panels->lightingPanel(); }
    float LightPower() { return session.editor.Light.power; }

    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("posewrighter_hl_" + std::to_string(::getpid()) + ".ini");
    framework::testing_support::HeadlessDevice headless;
    app::Session session;
    std::unique_ptr<panels::ToolPanels> panels;
};

TEST_F(HandlingLightingPanelTest, APressOnAPictureArmsItsDragOnlyWithAPartSelected) {
    Open("");
    EXPECT_EQ(handling()->windowTitle(), "Handling Panel");
    using app::HandleMode;
    const QImage x = handling()->picture(HandleMode::kMoveX)->pixmap().toImage();
    EXPECT_EQ(x.size(), QSize(32, 32));
    const HandleMode modes[] = {HandleMode::kMoveX, HandleMode::kMoveY, HandleMode::kMoveZ,
                                HandleMode::kTurnX, HandleMode::kTurnY, HandleMode::kTurnZ};
    for (std::size_t index = 0; index < std::size(modes); ++index) {
        const HandleMode mode = modes[index];
        const int number = static_cast<int>(mode);
        panels::PictureButton* picture = handling()->picture(mode);
        session.editor.Handle = HandleMode::kIdle;
        session.editor.SelectedPart = model::kNoPart;
        QTest::mousePress(picture, Qt::LeftButton);
        QTest::mouseRelease(picture, Qt::LeftButton);
        EXPECT_EQ(session.editor.Handle, HandleMode::kIdle) << number << " without a part";

        session.editor.SelectedPart = 2;
        QTest::mousePress(picture, Qt::RightButton);
        EXPECT_EQ(session.editor.Handle, HandleMode::kIdle) << number << " right button";
        // Armed as the button goes down, before any release.
        QTest::mousePress(picture, Qt::LeftButton);
        EXPECT_EQ(session.editor.Handle, mode);
        EXPECT_EQ(session.editor.HandlePhase, app::DragPhase::kArmed);
        QTest::mouseRelease(picture, Qt::LeftButton);
        // Both rows show the X, Y, Z pictures in the same order.
        const std::size_t other = index < 3 ? index + 3 : index - 3;
        EXPECT_EQ(picture->pixmap().toImage(),
                  handling()->picture(modes[other])->pixmap().toImage());
    }
    EXPECT_NE(x, handling()->picture(HandleMode::kMoveY)->pixmap().toImage());
    EXPECT_NE(handling()->moveLabel()->pixmap().toImage(),
              handling()->turnLabel()->pixmap().toImage());

    QTest::mousePress(lighting()->tiltPicture(), Qt::LeftButton);
    EXPECT_EQ(session.editor.LightDrag, app::LightDragMode::kTilt);
    QTest::mousePress(lighting()->turnPicture(), Qt::LeftButton);
    EXPECT_EQ(session.editor.LightDrag, app::LightDragMode::kTurn);
}

TEST_F(HandlingLightingPanelTest, WorldIsNotRememberedAndThePositionIsStored) {
    Open("");
    EXPECT_TRUE(handling()->localButton()->isChecked());
    QTest::mouseClick(handling()->worldButton(), Qt::LeftButton);
    EXPECT_TRUE(handling()->worldButton()->isChecked());
    EXPECT_FALSE(session.panels.handlingLocal);
    handling()->move(140, 90);
    panels->ClosePanels();
    const files::SettingsFile stored(path);
    EXPECT_EQ(stored.Read("HANDING_DIALOG", "LEFT", "x"), "140");

    panels->ShowPanels();
    EXPECT_TRUE(handling()->localButton()->isChecked());
    EXPECT_TRUE(session.panels.handlingLocal);
    QTest::mouseClick(handling()->worldButton(), Qt::LeftButton);
    QTest::mouseClick(handling()->localButton(), Qt::LeftButton);
    EXPECT_TRUE(session.panels.handlingLocal);
}

TEST_F(HandlingLightingPanelTest, PowerKeepsToItsRangeAndSetsTheLightAsAChangeEnds) {
    const struct {
        const char* power;
        int position;
        const char* label;
        QToolButton* (panels::LightingPanel::*arrow)() const;
        int after;
        const char* afterLabel;
    } cases[] = {
        {"", 5, "0.5", &panels::LightingPanel::powerUp, 6, "0.6"},
        {"POWER=1.7\r\n", 10, "1.0", &panels::LightingPanel::powerUp, 10, "1.0"},
        {"POWER=-0.2\r\n", 0, "0.0", &panels::LightingPanel::powerDown, 0, "0.0"},
        {"POWER=0.34\r\n", 3, "0.3", &panels::LightingPanel::powerDown, 2, "0.2"},
    };
    for (const auto& test : cases) {
        Open(std::string("[LIGHT_DIALOG]\r\n") + test.power);
        EXPECT_EQ(lighting()->powerPosition(), test.position) << test.power;
        EXPECT_EQ(lighting()->powerLabel()->text().toStdString(), test.label) << test.power;
        app::SetLight(session.editor, {0, -1, 0}, 0.25f);

        QToolButton* arrow = (lighting()->*test.arrow)();
        QTest::mousePress(arrow, Qt::LeftButton);
        EXPECT_EQ(session.editor.LightPowerPosition, test.after) << test.power;
        EXPECT_EQ(LightPower(), 0.25f) << "nothing set before the change ends";
        QTest::mouseRelease(arrow, Qt::LeftButton);
        EXPECT_EQ(lighting()->powerLabel()->text().toStdString(), test.afterLabel);
        // Set again at the end, also when the position could not move.
        EXPECT_FLOAT_EQ(LightPower(), static_cast<float>(test.after) * 0.1f) << test.power;
    }
    // The Up key with the focus: one step, set as the key comes up.
    QTest::keyPress(lighting()->powerUpDown(), Qt::Key_Up);
    QTest::keyRelease(lighting()->powerUpDown(), Qt::Key_Up);
    EXPECT_EQ(lighting()->powerLabel()->text().toStdString(), "0.3");
    EXPECT_FLOAT_EQ(LightPower(), 0.3f);

    panels->ClosePanels();
    const files::SettingsFile stored(path);
    EXPECT_EQ(stored.Read("LIGHT_DIALOG", "POWER", ""), "0.3");
    EXPECT_EQ(stored.Read("LIGHT_DIALOG", "LIGHT_Y", ""), "-1.000000");
}

}  // namespace
