#include "panels/picture_button.h"

#include <QMouseEvent>
#include <QString>

namespace panels {

QPixmap PanelPicture(std::string_view name) {
    return QPixmap(QStringLiteral(":/pictures/") +
                   QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

PictureButton::PictureButton(std::string_view picture, QWidget* parent) : QLabel(parent) {
    setPixmap(PanelPicture(picture));
    setFixedSize(kPictureSize, kPictureSize);
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressed_) pressed_();
    QLabel::mousePressEvent(event);
}

}  // namespace panels
