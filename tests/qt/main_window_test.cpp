#include "framework/qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>

#include "framework/notice.h"
#include "framework/qt/message_box.h"
#include "framework/qt/qt_input_source.h"
#include "tests/framework/log_capture.h"
#include "tests/qt/offscreen_application.h"

// Under LeakSanitizer: the font library that Qt's message box loads keeps allocations it never
// frees; they are not this program's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace {

using framework::testing_support::LogCapture;

using QtTest = framework::testing_support::OffscreenQtTest;

using MainWindowTest = QtTest;

TEST_F(MainWindowTest, StartsAt640By480AndResizesDownToItsMinimumWithCloseAndMaximiseBoxes) {
    framework::qt::MainWindow window;
    EXPECT_EQ(window.size(), QSize(640, 480));
    EXPECT_EQ(window.minimumSize(), QSize(320, 240));
    EXPECT_EQ(window.maximumSize(), QSize(16777215, 16777215));  // Qt's "no maximum"
    const Qt::WindowFlags flags = window.flags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    // A size asked for holds at once, kept at least the minimum; device pixels follow the ratio.
    window.ResizeClient(1280, 960);
    EXPECT_EQ(window.ClientWidth(), 1280);
    EXPECT_EQ(window.ClientHeight(), 960);
    EXPECT_EQ(window.ClientPixelWidth(), qRound(1280 * window.devicePixelRatio()));
    EXPECT_EQ(window.ClientPixelHeight(), qRound(960 * window.devicePixelRatio()));
    window.ResizeClient(100, 900);
    EXPECT_EQ(window.ClientWidth(), 320);
    EXPECT_EQ(window.ClientHeight(), 900);
    EXPECT_EQ(window.surfaceType(), QSurface::OpenGLSurface);
}

TEST_F(MainWindowTest, ActivationIsKeptAndLogged) {
    LogCapture log;
    framework::qt::MainWindow window;
    EXPECT_EQ(window.WindowActive(), 0);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&window, &deactivate);
    EXPECT_EQ(window.WindowActive(), 0);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    EXPECT_EQ(window.WindowActive(), 1);
    QCoreApplication::sendEvent(&window, &deactivate);
    EXPECT_EQ(window.WindowActive(), 0);
    EXPECT_EQ(log.Text(), "<非アクティブ>\n<アクティブ>\n<非アクティブ>\n");
}

TEST_F(MainWindowTest, TheClientSizeFollowsResizesOnlyWhenWindowed) {
    LogCapture log;
    framework::qt::MainWindow window;
    bool windowed = false;
    window.SetWindowedQuery([&windowed] { return windowed; });
    QResizeEvent toLarge(QSize(800, 600), QSize(640, 480));
    QCoreApplication::sendEvent(&window, &toLarge);
    EXPECT_EQ(window.ClientWidth(), 640);
    EXPECT_EQ(window.ClientHeight(), 480);
    EXPECT_EQ(log.Text(), "");

    windowed = true;
    QCoreApplication::sendEvent(&window, &toLarge);
    EXPECT_EQ(window.ClientWidth(), 800);
    EXPECT_EQ(window.ClientHeight(), 600);
    EXPECT_EQ(log.Text(), "<クライアント領域 800 x 600>\n");
}

TEST_F(MainWindowTest, ACloseRequestEndsTheLoopOnceAndKeepsTheWindow) {
    framework::qt::MainWindow window;
    EXPECT_TRUE(window.PumpMessages());
    EXPECT_EQ(window.CloseMainWindow(), 0);
    EXPECT_FALSE(window.PumpMessages());
    EXPECT_TRUE(window.PumpMessages());  // the quit is used up

    // The close box's request is refused as a close: the window stays.
    QCloseEvent closeBox;
    QCoreApplication::sendEvent(&window, &closeBox);
    EXPECT_FALSE(closeBox.isAccepted());
    EXPECT_FALSE(window.PumpMessages());
}

using MessageBoxTest = QtTest;

TEST_F(MessageBoxTest, NoticesShowABoxWithTheTextAndAnOkButton) {
    framework::qt::MainWindow window;
    int closed = 0;
    framework::qt::InstallMessageBoxNotices(window, [&closed] { ++closed; });
    QString shownText, shownTitle;
    int buttons = 0;
    // The box waits for the user: read it once it is up, then press its button.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        shownText = box->text();
        shownTitle = box->windowTitle();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    // Should the box not be found, close it anyway rather than wait for ever.
    QTimer::singleShot(5000, [] { QApplication::closeAllWindows(); });
    framework::ShowMessage("first line\rsecond line");
    framework::SetNoticeHandler(nullptr);
    EXPECT_EQ(shownText, QString::fromUtf8("first line\nsecond line"));
    EXPECT_EQ(shownTitle, QString());
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(closed, 1);
}

// Escape that dismisses a box, and a button held while the box was up, read as up afterwards:
// the editor does not close and no click is seen until a key or button is pressed anew.
TEST_F(MessageBoxTest, WhatWasHeldOrPressedInABoxReadsAsUpAfterIt) {
    framework::qt::MainWindow window;
    framework::qt::QtInputSource input(window);
    framework::qt::InstallMessageBoxNotices(window, {});
    const QPointF at(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &press);
    bool dismissedByEscape = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(box->windowHandle(), &escape);
        dismissedByEscape = !box->isVisible();
    });
    QTimer::singleShot(5000, [] { QApplication::closeAllWindows(); });
    framework::ShowMessage("notice");
    framework::SetNoticeHandler(nullptr);
    ASSERT_TRUE(dismissedByEscape);
    EXPECT_FALSE(input.EscapeDown());
    EXPECT_EQ(input.ButtonsDown(), (std::array<bool, 4>{}));

    // The key still held repeats on the main window: still up. A new press counts.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&window, &repeat);
    EXPECT_FALSE(input.EscapeDown());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &escape);
    EXPECT_TRUE(input.EscapeDown());
}

using InputSourceTest = QtTest;

TEST_F(InputSourceTest, MouseButtonsTheWheelAndEscapeComeFromTheWindowsEvents) {
    framework::qt::MainWindow window;
    framework::qt::QtInputSource input(window);

    const QPointF at(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(input.ButtonsDown(), (std::array<bool, 4>{false, true, false, false}));
    QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::RightButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &release);
    EXPECT_EQ(input.ButtonsDown(), (std::array<bool, 4>{}));

    for (int notch = 0; notch < 3; ++notch) {
        QWheelEvent wheel(at, at, QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&window, &wheel);
    }
    EXPECT_EQ(input.TakeWheelMovement(), -360);
    EXPECT_EQ(input.TakeWheelMovement(), 0);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &escape);
    EXPECT_TRUE(input.EscapeDown());
    // Auto-repeat's release while the key is held leaves it down.
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&window, &repeatRelease);
    EXPECT_TRUE(input.EscapeDown());
    QKeyEvent escapeUp(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &escapeUp);
    EXPECT_FALSE(input.EscapeDown());
}

// A press that begins on a tool panel is the editor's left button as well (a drag armed there
// goes on in the view), until its release comes back to the panel; Escape there counts too.
TEST_F(InputSourceTest, APressOnAToolWindowHoldsTheLeftButtonUntilItsRelease) {
    framework::qt::MainWindow window;
    framework::qt::QtInputSource input(window);
    QWidget panel(nullptr, Qt::Tool);
    panel.resize(100, 50);
    panel.show();
    QWindow* handle = panel.windowHandle();
    ASSERT_NE(handle, nullptr);

    const QPointF at(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &press);
    EXPECT_EQ(input.ButtonsDown(), (std::array<bool, 4>{true, false, false, false}));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &escape);
    EXPECT_TRUE(input.EscapeDown());
    // Released far outside every window: the press's window still gets the release.
    const QPointF away(-500, 900);
    QMouseEvent release(QEvent::MouseButtonRelease, away, away, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &release);
    EXPECT_EQ(input.ButtonsDown(), (std::array<bool, 4>{}));
}

// Escape that closes a popup menu is the menu's: the editor does not close.
TEST_F(InputSourceTest, EscapeInAPopupMenuIsTheMenus) {
    framework::qt::MainWindow window;
    framework::qt::QtInputSource input(window);
    QWindow menu;
    menu.setFlags(Qt::Popup);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&menu, &escape);
    EXPECT_FALSE(input.EscapeDown());
    QCoreApplication::sendEvent(&window, &escape);
    EXPECT_TRUE(input.EscapeDown());
}

TEST_F(InputSourceTest, TheClientAreaIsTheWindowsOnTheScreen) {
    framework::qt::MainWindow window;
    framework::qt::QtInputSource input(window);
    window.setPosition(200, 100);
    const framework::ClientArea area = input.MainClientArea();
    EXPECT_EQ(area.origin, (framework::PixelPoint{200, 100}));
    EXPECT_EQ(area.width, 640);
    EXPECT_EQ(area.height, 480);
}

}  // namespace
