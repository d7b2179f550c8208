#pragma once
// A one-line box for a number the user may type. Enter hands its text on; Escape, or leaving
// the box without Enter, asks for the shown value again. While the user is typing (the text
// was changed by hand since a value was last shown) a value shown from elsewhere does not
// replace the typing.

#include <QLineEdit>
#include <functional>
#include <string>

namespace panels {

class ValueBox : public QLineEdit {
  public:
    explicit ValueBox(QWidget* parent);

    // Shows `text` unless the user is typing.
    void Follow(const QString& text);
    // Called on Enter with the typed text (Enter without typing does nothing); the typing has
    // ended, so that Follow then shows what the owner makes of it.
    void OnConfirm(std::function<void(const std::string&)> confirmed) {
        confirmed_ = std::move(confirmed);
    }
    // Called when the typing is dropped (Escape, the box left without Enter): the owner
    // shows its value again through Follow.
    void OnRevert(std::function<void()> reverted) { reverted_ = std::move(reverted); }
    bool typing() const { return isModified(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void Revert();

    std::function<void(const std::string&)> confirmed_;
    std::function<void()> reverted_;
};

}  // namespace panels
