#include "framework/qt/message_box.h"

#include <QMessageBox>
#include <QWindow>
#include <string>

#include "framework/notice.h"

namespace framework::qt {

namespace {

int RunBox(QWindow* owner, QMessageBox& box) {
    if (owner != nullptr && owner->handle() != nullptr) {
        // The box is a widget and the owner a plain window: tie them through the native windows.
        box.winId();
        box.windowHandle()->setTransientParent(owner);
        box.setWindowModality(Qt::WindowModal);
    }
    return box.exec();
}

QString Lines(std::string_view text) {
    return QString::fromUtf8(framework::NoticeAsLines(text).c_str());
}

}  // namespace

void ShowMessageBox(QWindow* owner, std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), Lines(text), QMessageBox::Ok);
    RunBox(owner, box);
}

bool AskYesNoBox(QWindow* owner, std::string_view question) {
    QMessageBox box(QMessageBox::Question, QString(), Lines(question),
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    // Escape ends the editor elsewhere; here it must not throw work away.
    box.setEscapeButton(QMessageBox::Yes);
    return RunBox(owner, box) == QMessageBox::Yes;
}

framework::Answer AskYesNoCancelBox(QWindow* owner, std::string_view question) {
    QMessageBox box(QMessageBox::Question, QString(), Lines(question),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (RunBox(owner, box)) {
        case QMessageBox::Yes:
            return framework::Answer::kYes;
        case QMessageBox::No:
            return framework::Answer::kNo;
        default:
            return framework::Answer::kCancel;
    }
}

void InstallMessageBoxNotices(QWindow& owner, std::function<void()> afterClose) {
    framework::SetNoticeHandler([&owner, afterClose](std::string_view text) {
        ShowMessageBox(&owner, text);
        if (afterClose) afterClose();
    });
    framework::SetQuestionHandler([&owner, afterClose](std::string_view question) {
        const framework::Answer answer = AskYesNoCancelBox(&owner, question);
        if (afterClose) afterClose();
        return answer;
    });
}

}  // namespace framework::qt
