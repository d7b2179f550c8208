#include "panels/up_down.h"

#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

namespace panels {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), lower_(new QToolButton(this)), raise_(new QToolButton(this)) {
    setFocusPolicy(Qt::StrongFocus);
    for (QToolButton* button : {lower_, raise_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    lower_->setArrowType(Qt::LeftArrow);
    raise_->setArrowType(Qt::RightArrow);
    connect(lower_, &QToolButton::pressed, this, [this] { Step(-1); });
    connect(raise_, &QToolButton::pressed, this, [this] { Step(1); });
    // Auto-repeat sends released and pressed pairs while held; the change ends only when the
    // button is really let go.
    connect(lower_, &QToolButton::released, this, [this] {
        if (!lower_->isDown()) Ended();
    });
    connect(raise_, &QToolButton::released, this, [this] {
        if (!raise_->isDown()) Ended();
    });
}

void UpDown::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    SetPosition(position_);
}

void UpDown::SetPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
}

void UpDown::Step(int by) {
    SetPosition(position_ + by);
}

void UpDown::Ended() {
    if (ended_) ended_();
}

void UpDown::resizeEvent(QResizeEvent* /*event*/) {
    const int half = width() / 2;
    lower_->setGeometry(0, 0, half, height());
    raise_->setGeometry(half, 0, width() - half, height());
}

void UpDown::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Down:
            Step(-1);
            return;
        case Qt::Key_Right:
        case Qt::Key_Up:
            Step(1);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void UpDown::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
        if (!event->isAutoRepeat()) Ended();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

}  // namespace panels
