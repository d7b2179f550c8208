#include "panels/value_box.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace panels {

ValueBox::ValueBox(QWidget* parent) : QLineEdit(parent) {}

void ValueBox::Follow(const QString& text) {
    if (!typing() && this->text() != text) setText(text);
}

void ValueBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // Enter on a value only shown changes nothing.
            if (typing()) {
                const std::string typed = text().toStdString();
                setModified(false);
                if (confirmed_) confirmed_(typed);
            }
            selectAll();
            event->accept();
            return;
        }
        case Qt::Key_Escape:
            Revert();
            event->accept();
            return;
        default:
            QLineEdit::keyPressEvent(event);
    }
}

void ValueBox::focusOutEvent(QFocusEvent* event) {
    // A context menu of the box's own keeps the typing.
    if (event->reason() != Qt::PopupFocusReason) Revert();
    QLineEdit::focusOutEvent(event);
}

void ValueBox::Revert() {
    if (!typing()) return;
    setModified(false);
    if (reverted_) reverted_();
}

}  // namespace panels
