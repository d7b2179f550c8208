#include "framework/qt/message_box.h"

#include <QMessageBox>
#include <QWindow>
#include <string>

#include "framework/notice.h"

namespace framework::qt {

void ShowMessageBox(QWindow* owner, std::string_view text) {
    const std::string lines = framework::NoticeAsLines(text);
    QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromUtf8(lines.c_str()),
                    QMessageBox::Ok);
    if (owner != nullptr && owner->handle() != nullptr) {
        // The box is a widget and the owner a plain window: tie them through the native windows.
        box.winId();
        box.windowHandle()->setTransientParent(owner);
        box.setWindowModality(Qt::WindowModal);
    }
    box.exec();
}

void InstallMessageBoxNotices(QWindow& owner, std::function<void()> afterClose) {
    framework::SetNoticeHandler(
        [&owner, afterClose = std::move(afterClose)](std::string_view text) {
            ShowMessageBox(&owner, text);
            if (afterClose) afterClose();
        });
}

}  // namespace framework::qt
