#pragma once
// What the camera and picking tests share: a view with the editor's projection (640 x 480 unless
// given another size), and input records built button by button, as the poll would leave them.

#include <cmath>

#include "app/core/tool_panels.h"
#include "app/editor/editor.h"
#include "app/steps/part_picking.h"
#include "app/steps/view_geometry.h"
#include "framework/debug_log.h"
#include "framework/platform/input_state.h"
#include "gfx/math/math.h"

namespace view_input_support {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr framework::PixelPoint kCentre{320, 240};

struct TestView {
    TestView(int w = kWidth, int h = kHeight) : width(w), height(h) {
        transforms.ProjectionMatrix = app::EditorProjection(width, height);
        app::FrameView(transforms, nullptr);  // eye (0, 2, 8) looking at (0, 1, 0)
    }
    app::ClientView client() { return {transforms, width, height}; }
    framework::ViewTransforms transforms;
    int width, height;
};

// The device's start-up report is not under test: the log goes nowhere meanwhile. Declared
// before the device it quietens.
struct QuietLog {
    QuietLog() { framework::ProcessLog().Discard(); }
    ~QuietLog() { framework::ProcessLog().SetPath(""); }
};

enum class Button { kUp, kPressed, kHeld, kReleased };

struct Buttons {
    Button left = Button::kUp, right = Button::kUp, middle = Button::kUp;
};

inline framework::InputState Input(Buttons b, framework::PixelPoint cursor, int wheel = 0) {
    framework::InputState state;
    const auto set = [&](int index, Button button) {
        state.buttons[index] = button == Button::kPressed || button == Button::kHeld;
        state.previousButtons[index] = button == Button::kHeld || button == Button::kReleased;
    };
    set(0, b.left);
    set(1, b.right);
    set(2, b.middle);
    state.cursor = cursor;
    state.wheel = wheel;
    return state;
}

// Counts the selections the Part panel is told of, keeping the last.
struct CountingNotice : app::PanelObserver {
    void SelectionChanged(model::PartIndex selected) override {
        ++count;
        last = selected;
    }
    int count = 0;
    model::PartIndex last = model::kNoPart;
};

inline bool Near(gfx::Vec3 a, gfx::Vec3 b, float tolerance) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
           std::fabs(a.z - b.z) <= tolerance;
}

inline bool MatricesNear(const gfx::Matrix& a, const gfx::Matrix& b, float tolerance) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (std::fabs(a.m[r][c] - b.m[r][c]) > tolerance) return false;
        }
    }
    return true;
}

}  // namespace view_input_support
