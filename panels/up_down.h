#pragma once
// A horizontal up-down control without a buddy: two arrow buttons, the left one lowering and
// the right one raising a position kept in a range. Held, an arrow repeats. With the focus, the
// arrow keys move it too. Each change moves the position at once; the change ends when the
// button or key that made it is released, and only then does the panel act.

#include <QWidget>
#include <functional>

class QToolButton;

namespace panels {

class UpDown : public QWidget {
  public:
    explicit UpDown(QWidget* parent);

    void SetRange(int minimum, int maximum);
    // Brought into the range; no signal.
    void SetPosition(int position);
    int position() const { return position_; }
    QToolButton* lowerButton() const { return lower_; }
    QToolButton* raiseButton() const { return raise_; }
    // Called each time a change ends.
    void OnChangeEnded(std::function<void()> ended) { ended_ = std::move(ended); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void Step(int by);
    void Ended();

    QToolButton* lower_ = nullptr;
    QToolButton* raise_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    std::function<void()> ended_;
};

}  // namespace panels
