#pragma once
// A 32 x 32 picture from the panels' pictures that acts as the left mouse button goes down on
// it, not when it comes up: the same press then goes on as a drag in the 3D view. The press
// keeps the mouse for this window until the button is released, wherever the cursor goes.

#include <QLabel>
#include <functional>
#include <string_view>

namespace panels {

inline constexpr int kPictureSize = 32;  // pixels, at any font

// The picture `name` of the panels' resources (":/pictures/<name>"), or an empty one.
QPixmap PanelPicture(std::string_view name);

class PictureButton : public QLabel {
  public:
    PictureButton(std::string_view picture, QWidget* parent);
    void OnPress(std::function<void()> pressed) { pressed_ = std::move(pressed); }

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::function<void()> pressed_;
};

}  // namespace panels
