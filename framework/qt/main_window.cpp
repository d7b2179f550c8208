#include "framework/qt/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QThread>
#include <algorithm>

#include "framework/debug_log.h"

namespace framework::qt {

QSurfaceFormat MainWindowFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    // Without these, Qt may hand out a core profile that has no fixed-function pipeline.
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setOption(QSurfaceFormat::DeprecatedFunctions);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSwapInterval(0);
    return format;
}

MainWindow::MainWindow() {
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(MainWindowFormat());
    setFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
             Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
    // A minimum and no maximum: the window manager offers a sizing border and maximising.
    setMinimumSize(
        QSize(framework::kMinimumClientSize.width, framework::kMinimumClientSize.height));
    resize(QSize(kClientWidth, kClientHeight));
    setPosition(0, 0);

    for (QScreen* screen : QGuiApplication::screens()) WatchScreen(screen);
    QObject::connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        WatchScreen(screen);
        framework::LogMessage("<ディスプレイモードの変更>\n");
    });
    QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, this,
                     [] { framework::LogMessage("<ディスプレイモードの変更>\n"); });
}

MainWindow::~MainWindow() = default;

void MainWindow::WatchScreen(QScreen* screen) {
    QObject::connect(screen, &QScreen::geometryChanged, this,
                     [] { framework::LogMessage("<ディスプレイモードの変更>\n"); });
}

bool MainWindow::CreateMainWindow() {
    create();
    if (handle() == nullptr) return false;
    clientWidth_ = width();
    clientHeight_ = height();
    windowActive_ = 1;
    return true;
}

void MainWindow::DestroyMainWindow() {
    destroy();
}

bool MainWindow::SetMainWindowTitle(std::string_view text) {
    setTitle(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return true;
}

bool MainWindow::PumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (!quitPosted_) return true;
    quitPosted_ = false;
    return false;
}

int MainWindow::CloseMainWindow() {
    QCloseEvent close;
    QCoreApplication::sendEvent(this, &close);
    return 0;
}

int MainWindow::ClientPixelWidth() const {
    return std::max(1, qRound(clientWidth_ * devicePixelRatio()));
}

int MainWindow::ClientPixelHeight() const {
    return std::max(1, qRound(clientHeight_ * devicePixelRatio()));
}

void MainWindow::ResizeClient(int width, int height) {
    resize(std::max(width, framework::kMinimumClientSize.width),
           std::max(height, framework::kMinimumClientSize.height));
    // A hidden window may hear of its new size only once shown: the size asked for holds.
    clientWidth_ = this->width();
    clientHeight_ = this->height();
}

framework::ScreenRect MainWindow::Frame() const {
    const QRect frame = frameGeometry();
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

void MainWindow::MoveRaiseAndShow(int left, int top) {
    // The window manager's frame is known only once the window is on the screen, so it is shown
    // first. Then the client area goes where the frame's corner lands at (left, top): a client
    // position is what every window manager follows, whereas placing the frame itself depends
    // on how the manager reads the request and may leave the window a title bar off.
    if (!isVisible()) show();
    WaitUntilExposed();
    const QMargins frame = frameMargins();
    setPosition(left + frame.left(), top + frame.top());
    raise();
}

void MainWindow::WaitUntilExposed() {
    constexpr int kLimitMilliseconds = 3000;
    QElapsedTimer waited;
    waited.start();
    while (!isExposed() && waited.elapsed() < kLimitMilliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!isExposed()) QThread::msleep(5);
    }
}

bool MainWindow::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            windowActive_ = 1;
            framework::LogMessage("<アクティブ>\n");
            return QWindow::event(event);
        case QEvent::WindowDeactivate:
            windowActive_ = 0;
            framework::LogMessage("<非アクティブ>\n");
            return QWindow::event(event);
        case QEvent::Resize:
            if (windowed_ && windowed_()) {
                const QSize size = static_cast<QResizeEvent*>(event)->size();
                clientWidth_ = size.width();
                clientHeight_ = size.height();
                framework::LogMessage("<クライアント領域 %d x %d>\n", clientWidth_, clientHeight_);
            }
            return QWindow::event(event);
        case QEvent::Expose:
            if (exposed_ && isExposed()) exposed_();
            return QWindow::event(event);
        case QEvent::Close:
            // The quit ends the main loop; the window stays until the teardown destroys it.
            event->ignore();
            quitPosted_ = true;
            return true;
        default:
            return QWindow::event(event);
    }
}

}  // namespace framework::qt
