#include "framework/qt/window_gl_surface.h"

#include <QGuiApplication>
#include <QOpenGLExtraFunctions>
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

WindowGlSurface::WindowGlSurface(MainWindow& window) : window_(window) {
    window_.SetExposeHandler([this] {
        if (framebuffer_ != 0 && backWidth_ > 0 && backHeight_ > 0) SwapBuffers();
    });
}

WindowGlSurface::~WindowGlSurface() {
    window_.SetExposeHandler({});
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
    if (!CreateBackBuffer(width, height)) {
        DestroyBackBuffer();
        context_->doneCurrent();
        context_.reset();
        return false;
    }
    return true;
}

bool WindowGlSurface::CreateBackBuffer(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    QOpenGLFunctions* gl = context_->functions();
    GLuint framebuffer = 0, renderbuffers[2] = {0, 0};
    gl->glGenFramebuffers(1, &framebuffer);
    gl->glGenRenderbuffers(2, renderbuffers);
    framebuffer_ = framebuffer;
    colourBuffer_ = renderbuffers[0];
    depthBuffer_ = renderbuffers[1];
    AllocateBuffers(width, height);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colourBuffer_);
    gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  depthBuffer_);
    if (gl->glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    backWidth_ = width;
    backHeight_ = height;
    return true;
}

void WindowGlSurface::AllocateBuffers(int width, int height) {
    QOpenGLFunctions* gl = context_->functions();
    gl->glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
    gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl->glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    gl->glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

bool WindowGlSurface::ResizeDrawingArea(int width, int height) {
    if (!context_ || framebuffer_ == 0 || width <= 0 || height <= 0) return false;
    MakeCurrent();
    // The renderbuffers stay attached: new storage is all a new size needs.
    AllocateBuffers(width, height);
    QOpenGLFunctions* gl = context_->functions();
    if (gl->glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    backWidth_ = width;
    backHeight_ = height;
    return true;
}

void WindowGlSurface::DestroyBackBuffer() {
    if (context_ && (framebuffer_ != 0 || colourBuffer_ != 0 || depthBuffer_ != 0)) {
        QOpenGLFunctions* gl = context_->functions();
        gl->glBindFramebuffer(GL_FRAMEBUFFER, context_->defaultFramebufferObject());
        const GLuint framebuffer = framebuffer_;
        const GLuint renderbuffers[2] = {colourBuffer_, depthBuffer_};
        gl->glDeleteFramebuffers(1, &framebuffer);
        gl->glDeleteRenderbuffers(2, renderbuffers);
    }
    framebuffer_ = colourBuffer_ = depthBuffer_ = 0;
    backWidth_ = backHeight_ = 0;
}

void WindowGlSurface::MakeCurrent() {
    if (!context_) return;
    context_->makeCurrent(&window_);
    context_->functions()->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void WindowGlSurface::SwapBuffers() {
    if (!context_) return;
    // The window's size in its own pixels: the logical size times the device pixel ratio.
    const qreal ratio = window_.devicePixelRatio();
    const int width = std::max(1, qRound(window_.width() * ratio));
    const int height = std::max(1, qRound(window_.height() * ratio));
    // Equal sizes (the usual case) and whole multiples keep the pixels sharp; other ratios, for
    // the frames between a resize and the back buffer following it, are filtered.
    const bool wholeMultiple = width % backWidth_ == 0 && height % backHeight_ == 0;
    QOpenGLExtraFunctions* gl = context_->extraFunctions();
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, context_->defaultFramebufferObject());
    gl->glBlitFramebuffer(0, 0, backWidth_, backHeight_, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          wholeMultiple ? GL_NEAREST : GL_LINEAR);
    context_->swapBuffers(&window_);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

std::uint32_t WindowGlSurface::DrawFramebuffer() {
    return framebuffer_;
}

void WindowGlSurface::Close() {
    if (context_) {
        context_->makeCurrent(&window_);
        DestroyBackBuffer();
        context_->doneCurrent();
        context_.reset();
    }
    open_ = false;
}

}  // namespace framework::qt
