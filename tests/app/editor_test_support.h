#pragma once
// What the tests that run the whole editor headless share: a main window that only records,
// and the debug log kept quiet while the device reports its start-up.

#include <string>
#include <string_view>
#include <vector>

#include "app/editor/editor.h"
#include "framework/debug_log.h"

namespace app::testing_support {

class FakeWindow : public app::EditorWindow {
  public:
    bool SetTitle(std::string_view text) override {
        title = text;
        return true;
    }
    std::vector<framework::ScreenRect> Screens() const override { return {{0, 0, 1024, 768}}; }
    framework::ScreenRect Frame() const override { return frame; }
    void MoveRaiseAndShow(int left, int top) override {
        frame = {left, top, left + frame.right - frame.left, top + frame.bottom - frame.top};
        ++moves;
    }

    app::ClientSize Client() const override { return client; }
    // The frame keeps its edges (6 across, 29 down) around the new client area.
    void ResizeClient(app::ViewSize size) override {
        client = {size, size};
        frame.right = frame.left + size.width + 6;
        frame.bottom = frame.top + size.height + 29;
        ++resizes;
    }

    std::string title;
    framework::ScreenRect frame{0, 0, 646, 509};  // a 640 x 480 client area in a frame
    app::ClientSize client{{640, 480}, {640, 480}};
    int moves = 0;
    int resizes = 0;
};

// The device's start-up report is not under test: the log goes nowhere meanwhile.
struct QuietLog {
    QuietLog() { framework::ProcessLog().Discard(); }
    ~QuietLog() { framework::ProcessLog().SetPath(""); }
};

}  // namespace app::testing_support
