#pragma once
// Whether one of the program's modal windows (a message box, a file dialog) is open, for the
// test probe. While one is open the editor's frames wait for it, so the watch also reports each
// opening and closing as it happens.

#include <functional>
#include <memory>

class QObject;

namespace framework::qt {

class ModalWatch {
  public:
    // Watches every window of the application from now on; `changed` runs with the new state
    // each time a modal window is shown or hidden.
    explicit ModalWatch(std::function<void(bool open)> changed);
    ~ModalWatch();
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

    bool open() const { return shown_ > 0; }

  private:
    class Filter;
    void Note(bool shown);

    std::function<void(bool)> changed_;
    int shown_ = 0;  // modal windows shown and not yet hidden
    std::unique_ptr<QObject> filter_;
};

}  // namespace framework::qt
