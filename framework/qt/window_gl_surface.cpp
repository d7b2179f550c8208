#include "framework/qt/window_gl_surface.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "framework/qt/screens.h"

namespace framework::qt {

namespace {

// A context whose pipeline has no fixed function (a core profile from 3.2 on) cannot serve the
// device.
bool HasFixedFunction(const QSurfaceFormat& format) {
    if (format.profile() != QSurfaceFormat::CoreProfile) return true;
    return format.version() < qMakePair(3, 2);
}

}  // namespace

WindowGlSurface::~WindowGlSurface() {
    Close();
}

QScreen* WindowGlSurface::Screen(int adapter) const {
    const std::vector<QScreen*> screens = ScreensPrimaryFirst();
    if (adapter < 0 || static_cast<std::size_t>(adapter) >= screens.size()) return nullptr;
    return screens[static_cast<std::size_t>(adapter)];
}

bool WindowGlSurface::Open() {
    open_ = QGuiApplication::instance() != nullptr && window_.handle() != nullptr &&
            !QGuiApplication::screens().isEmpty();
    return open_;
}

int WindowGlSurface::AdapterCount() {
    return static_cast<int>(ScreensPrimaryFirst().size());
}

std::string WindowGlSurface::AdapterName(int adapter) {
    const QScreen* screen = Screen(adapter);
    if (screen == nullptr) return {};
    QString name = screen->name();
    const QString model = (screen->manufacturer() + " " + screen->model()).trimmed();
    if (!model.isEmpty()) name = model + " (" + name + ")";
    return name.toStdString();
}

std::vector<framework::DisplayMode> WindowGlSurface::AdapterModes(int adapter) {
    const QScreen* screen = Screen(adapter);
    if (screen == nullptr) return {};
    const framework::DisplayMode current = CurrentModeOf(*screen);
    std::vector<framework::DisplayMode> modes = {current};
    const framework::DisplayMode window{kClientWidth, kClientHeight, current.format};
    if (!(window == current)) modes.push_back(window);
    return modes;
}

framework::DisplayMode WindowGlSurface::CurrentMode(int adapter) {
    const QScreen* screen = Screen(adapter);
    return screen == nullptr ? framework::DisplayMode{} : CurrentModeOf(*screen);
}

framework::DepthStencilBits WindowGlSurface::DepthBits() {
    const QSurfaceFormat format = MainWindowFormat();
    return {format.depthBufferSize(), std::max(format.stencilBufferSize(), 0)};
}

bool WindowGlSurface::CreateContext(int adapter, int width, int height, bool windowed) {
    if (!open_) return false;
    QScreen* screen = Screen(adapter);
    if (screen == nullptr) return false;
    if (window_.screen() != screen) {
        window_.setScreen(screen);
        window_.setFramePosition(screen->geometry().topLeft());
    }
    window_.resize(width, height);
    if (windowed) window_.show();

    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(MainWindowFormat());
    context->setScreen(screen);
    if (!context->create() || !HasFixedFunction(context->format())) return false;
    if (!context->makeCurrent(&window_)) return false;
    context_ = std::move(context);
    return true;
}

void WindowGlSurface::MakeCurrent() {
    if (context_) context_->makeCurrent(&window_);
}

void WindowGlSurface::SwapBuffers() {
    if (context_) context_->swapBuffers(&window_);
}

std::uint32_t WindowGlSurface::DrawFramebuffer() {
    return context_ ? static_cast<std::uint32_t>(context_->defaultFramebufferObject()) : 0;
}

void WindowGlSurface::Close() {
    if (context_) {
        context_->doneCurrent();
        context_.reset();
    }
    open_ = false;
}

}  // namespace framework::qt
