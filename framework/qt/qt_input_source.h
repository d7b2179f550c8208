#pragma once
// The input sampling's view of Qt: mouse buttons, the wheel and the Escape key taken from the
// events that any of the program's windows receives (the main window and the tool panels: a
// drag armed by a press on a panel is held until its release, which comes back to the panel
// wherever it happens), the system cursor, and the main window's client area on the screen.

#include <QObject>

#include "framework/platform/input_source.h"
#include "framework/qt/main_window.h"

namespace framework::qt {

class QtInputSource : public QObject, public framework::RecordedInputEvents {
  public:
    // Watches every event of the application from now on.
    explicit QtInputSource(MainWindow& window);
    ~QtInputSource() override;

    framework::PixelPoint CursorOnScreen() const override;
    void MoveCursorOnScreen(framework::PixelPoint point) override;
    framework::ClientArea MainClientArea() const override;

    // The index 0 left, 1 right, 2 middle, 3 fourth of a Qt mouse button; -1 for any other.
    static int ButtonIndex(Qt::MouseButton button);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainWindow& window_;
};

}  // namespace framework::qt
