#include "framework/qt/qt_input_source.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

namespace framework::qt {

QtInputSource::QtInputSource(MainWindow& window) : window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
}

QtInputSource::~QtInputSource() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

int QtInputSource::ButtonIndex(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 0;
        case Qt::RightButton:
            return 1;
        case Qt::MiddleButton:
            return 2;
        case Qt::BackButton:
            return 3;
        default:
            return -1;
    }
}

bool QtInputSource::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationStateChange) {
        if (QGuiApplication::applicationState() != Qt::ApplicationActive) OnFocusLost();
        return false;
    }
    // A widget's event first reaches its window, which passes it on: only windows count, so no
    // event is seen twice.
    if (!watched->isWindowType()) return false;
    // A box or dialog that blocks the other windows (a notice, a file dialog), and a popup
    // menu, is not the editor's view: its keys are its own (Escape closes a menu), and what was
    // held when it closes counts as released.
    const auto* window = static_cast<QWindow*>(watched);
    const bool modal = window->modality() != Qt::NonModal || window->type() == Qt::Popup;
    switch (type) {
        case QEvent::Hide:
            if (modal) OnDialogClosed();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->globalPosition().toPoint();
            OnMouseButton(ButtonIndex(mouse->button()), type != QEvent::MouseButtonRelease,
                          framework::PixelPoint{at.x(), at.y()});
            break;
        }
        case QEvent::Wheel:
            OnWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Auto-repeat sends release and press pairs while the key is held: it stays down.
            // Escape pressed in a box or dialog dismisses it; it does not close the editor.
            if (key->key() == Qt::Key_Escape && !key->isAutoRepeat() &&
                !(modal && type == QEvent::KeyPress)) {
                OnEscape(type == QEvent::KeyPress, window == &window_);
            }
            break;
        }
        default:
            break;
    }
    return false;
}

framework::PixelPoint QtInputSource::CursorOnScreen() const {
    const QPoint pos = QCursor::pos();
    return {pos.x(), pos.y()};
}

void QtInputSource::MoveCursorOnScreen(framework::PixelPoint point) {
    QCursor::setPos(point.x, point.y);
}

framework::ClientArea QtInputSource::MainClientArea() const {
    const QPoint origin = window_.mapToGlobal(QPoint(0, 0));
    return {{origin.x(), origin.y()}, window_.ClientWidth(), window_.ClientHeight()};
}

}  // namespace framework::qt
