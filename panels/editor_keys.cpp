#include "panels/editor_keys.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWindow>
#include <utility>

#include "panels/tool_panels.h"

namespace panels {

namespace {

app::Key KeypadKey(int key) {
    switch (key) {
        case Qt::Key_1:
        case Qt::Key_End:
            return app::Key::kKeypad1;
        case Qt::Key_3:
        case Qt::Key_PageDown:
            return app::Key::kKeypad3;
        case Qt::Key_7:
        case Qt::Key_Home:
            return app::Key::kKeypad7;
        case Qt::Key_Delete:
            return app::Key::kDelete;
        default:
            return app::Key::kOther;
    }
}

app::Key MainKey(int key) {
    switch (key) {
        case Qt::Key_F:
            return app::Key::kF;
        case Qt::Key_O:
            return app::Key::kO;
        case Qt::Key_S:
            return app::Key::kS;
        case Qt::Key_Y:
            return app::Key::kY;
        case Qt::Key_Z:
            return app::Key::kZ;
        case Qt::Key_Delete:
            return app::Key::kDelete;
        case Qt::Key_Space:
            return app::Key::kSpace;
        case Qt::Key_PageUp:
            return app::Key::kPageUp;
        case Qt::Key_PageDown:
            return app::Key::kPageDown;
        default:
            return app::Key::kOther;
    }
}

}  // namespace

app::KeyStroke KeyStrokeOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    app::KeyStroke stroke;
    stroke.key =
        modifiers.testFlag(Qt::KeypadModifier) ? KeypadKey(event.key()) : MainKey(event.key());
    stroke.ctrl = modifiers.testFlag(Qt::ControlModifier);
    stroke.shift = modifiers.testFlag(Qt::ShiftModifier);
    stroke.alt = modifiers.testFlag(Qt::AltModifier) || modifiers.testFlag(Qt::MetaModifier);
    stroke.repeat = event.isAutoRepeat();
    return stroke;
}

bool KeepsItsOwnKeys(const QObject* focus) {
    return qobject_cast<const QLineEdit*>(focus) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(focus) != nullptr ||
           qobject_cast<const QTextEdit*>(focus) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(focus) != nullptr ||
           qobject_cast<const QMenuBar*>(focus) != nullptr;
}

EditorKeys::EditorKeys(app::Session& session, app::ChooseFile chooseFile, ToolPanels* panels)
    : session_(session), chooseFile_(std::move(chooseFile)), panels_(panels) {
    QCoreApplication::instance()->installEventFilter(this);
}

EditorKeys::~EditorKeys() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

bool EditorKeys::eventFilter(QObject* watched, QEvent* event) {
    // A widget's key press reaches its window first, which hands it to the focus widget: the
    // window's is the one taken, so that a key is looked at once.
    if (event->type() != QEvent::KeyPress || !watched->isWindowType()) return false;
    const auto* window = static_cast<QWindow*>(watched);
    if (QGuiApplication::modalWindow() != nullptr || window->modality() != Qt::NonModal ||
        window->type() == Qt::Popup || QWidget::keyboardGrabber() != nullptr ||
        KeepsItsOwnKeys(window->focusObject())) {
        return false;
    }
    const app::KeyStroke stroke = KeyStrokeOf(*static_cast<QKeyEvent*>(event));
    app::KeyStroke firstPress = stroke;
    firstPress.repeat = false;
    if (!app::CommandForKey(firstPress)) return false;
    // The editor's key, held down, is the editor's too even where it does not repeat: Space
    // held must not tick the tree's current box.
    if (const std::optional<app::EditorCommand> command = app::CommandForKey(stroke)) {
        app::RunEditorCommand(session_, *command, chooseFile_);
        if (panels_ != nullptr && panels_->partPanel() != nullptr) {
            panels_->partPanel()->RefreshMenuState();
        }
    }
    return true;
}

}  // namespace panels
