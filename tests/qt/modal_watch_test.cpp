#include "framework/qt/modal_watch.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <vector>

#include "framework/qt/message_box.h"
#include "tests/qt/offscreen_application.h"

namespace {

using ModalWatchTest = framework::testing_support::OffscreenQtTest;

// A modal dialog counts from its showing to its hiding; a plain window or a dialog that is not
// modal never does.
TEST_F(ModalWatchTest, ModalWindowsCountWhileShownAndOthersNever) {
    std::vector<bool> heard;
    framework::qt::ModalWatch watch([&heard](bool open) { heard.push_back(open); });
    EXPECT_FALSE(watch.open());

    QDialog modeless;
    modeless.show();
    QWidget window;
    window.show();
    modeless.hide();
    EXPECT_FALSE(watch.open());
    EXPECT_TRUE(heard.empty());

    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    EXPECT_TRUE(watch.open());
    dialog.hide();
    EXPECT_FALSE(watch.open());
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

// The question box waits in its own loop: the watch hears it open there and close after.
TEST_F(ModalWatchTest, TheQuestionBoxIsSeenOpenWhileItWaits) {
    framework::qt::ModalWatch watch({});
    bool openWhileAsked = false;
    QTimer::singleShot(0, [&] {
        openWhileAsked = watch.open();
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->button(QMessageBox::No)->click();
        }
    });
    QTimer::singleShot(5000, [] { QApplication::closeAllWindows(); });
    EXPECT_FALSE(framework::qt::AskYesNoBox(nullptr, "question"));
    EXPECT_TRUE(openWhileAsked);
    EXPECT_FALSE(watch.open());
}

}  // namespace
