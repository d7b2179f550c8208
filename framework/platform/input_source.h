#pragma once
// What the windowing layer tells the input sampling: the mouse buttons and the Escape key as
// they stand, the wheel movement since the last poll, and where the system cursor and the main
// window's client area are on the screen.

#include <array>
#include <optional>

namespace framework {

inline constexpr int kMouseButtonCount = 4;  // left, right, middle, fourth
inline constexpr int kWheelNotch = 120;      // wheel movement of one notch

struct PixelPoint {
    int x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The main window's client area: its top-left corner in screen coordinates and its size.
struct ClientArea {
    PixelPoint origin;
    int width = 0, height = 0;
};

class InputEventSource {
  public:
    virtual ~InputEventSource() = default;

    // Down state of each mouse button now (index 0 left, 1 right, 2 middle, 3 fourth).
    virtual std::array<bool, kMouseButtonCount> ButtonsDown() const = 0;
    virtual bool EscapeDown() const = 0;

    // What one poll reads: a press and its release that both came since the last poll are not
    // lost (a quick click, a touchpad tap, any click on a loaded machine): the press is read in
    // this poll and the release in the next. Where a press was read, `pressedAt` holds the
    // screen point it happened at (the cursor may have moved on since).
    struct PolledButtons {
        std::array<bool, kMouseButtonCount> down{};
        std::optional<PixelPoint> pressedAt;
    };
    virtual PolledButtons TakeButtons() = 0;
    virtual bool TakeEscape() = 0;
    // Whether the latest Escape press came from the main window rather than a tool panel.
    virtual bool EscapeInView() const = 0;
    // The wheel movement delivered since the previous call (positive away from the user,
    // kWheelNotch per notch); the call starts the next count at 0.
    virtual int TakeWheelMovement() = 0;

    // The system cursor in screen coordinates.
    virtual PixelPoint CursorOnScreen() const = 0;
    virtual void MoveCursorOnScreen(PixelPoint point) = 0;
    virtual ClientArea MainClientArea() const = 0;
};

// One button or key as the polls read it: its changes since the last poll are kept in order
// (a few; more collapse in pairs, which cancel out), and each poll takes at most one of them.
class KeptChanges {
  public:
    void Change(bool down, std::optional<PixelPoint> at = std::nullopt);
    // The state this poll reads, and where it was pressed when this poll reads a press.
    bool Take(std::optional<PixelPoint>* pressedAt = nullptr);
    bool Now() const { return now_; }
    // Up, with nothing kept.
    void Reset();

  private:
    struct Kept {
        bool down = false;
        std::optional<PixelPoint> at;
    };
    static constexpr int kKept = 4;
    std::array<Kept, kKept> kept_{};
    int count_ = 0;
    bool now_ = false;
    bool read_ = false;  // the state the last poll read
};

// The button, key and wheel half of a source, kept from the events as they arrive. The
// windowing layer derives from it, forwards its events, and adds the cursor and window queries.
class RecordedInputEvents : public InputEventSource {
  public:
    // An index outside 0-3 is ignored. `at` is the press's screen point, when known.
    void OnMouseButton(int index, bool down, std::optional<PixelPoint> at = std::nullopt);
    void OnWheel(int movement);
    // `inView`: pressed in the main window (the 3D view), not in a tool panel.
    void OnEscape(bool down, bool inView = true);
    // Releases that happen while the program does not have the keyboard and mouse never arrive:
    // everything reads as up until pressed again.
    void OnFocusLost();
    // A box or dialog that has closed took the releases of whatever was held while it was up
    // (and Escape may have dismissed it): everything reads as up until pressed again.
    void OnDialogClosed() { OnFocusLost(); }

    std::array<bool, kMouseButtonCount> ButtonsDown() const override;
    bool EscapeDown() const override { return escape_.Now(); }
    PolledButtons TakeButtons() override;
    bool TakeEscape() override { return escape_.Take(); }
    bool EscapeInView() const override { return escapeInView_; }
    int TakeWheelMovement() override;

  private:
    std::array<KeptChanges, kMouseButtonCount> buttons_{};
    KeptChanges escape_;
    bool escapeInView_ = true;
    int wheel_ = 0;
};

}  // namespace framework
