#include "framework/qt/modal_watch.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace framework::qt {

class ModalWatch::Filter : public QObject {
  public:
    explicit Filter(ModalWatch& watch) : watch_(watch) {}

    bool eventFilter(QObject* object, QEvent* event) override {
        const QEvent::Type type = event->type();
        // The window system's own (a minimised window coming back) change nothing.
        if ((type != QEvent::Show && type != QEvent::Hide) || event->spontaneous()) return false;
        // Only windows: a widget inside a dialog is shown with it.
        const auto* widget = qobject_cast<QWidget*>(object);
        if (widget != nullptr && widget->isWindow() && widget->isModal()) {
            watch_.Note(type == QEvent::Show);
        }
        return false;
    }

  private:
    ModalWatch& watch_;
};

ModalWatch::ModalWatch(std::function<void(bool open)> changed)
    : changed_(std::move(changed)), filter_(std::make_unique<Filter>(*this)) {
    QCoreApplication::instance()->installEventFilter(filter_.get());
}

ModalWatch::~ModalWatch() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeEventFilter(filter_.get());
    }
}

void ModalWatch::Note(bool shown) {
    shown_ = shown ? shown_ + 1 : std::max(shown_ - 1, 0);
    if (changed_) changed_(open());
}

}  // namespace framework::qt
