#include "framework/platform/egl_surface.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>

#include "framework/device/gl_api.h"

namespace framework {

namespace {

constexpr int kModeWidth = 640, kModeHeight = 480;

bool HasClientExtension(const char* name) {
    const char* all = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (all == nullptr) return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(all, name); at != nullptr; at = std::strstr(at + 1, name)) {
        if ((at == all || at[-1] == ' ') && (at[length] == '\0' || at[length] == ' ')) return true;
    }
    return false;
}

}  // namespace

bool EglSurface::Open() {
    if (display_ != nullptr) return true;
    // The default display needs a window system; the surfaceless platform does not.
    if (!HasClientExtension("EGL_MESA_platform_surfaceless")) return false;
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) return false;
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) return false;
    EGLint major = 0, minor = 0;
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) return false;
    display_ = display;
    return true;
}

std::string EglSurface::AdapterName(int) {
    return "Mesa surfaceless";
}

std::vector<DisplayMode> EglSurface::AdapterModes(int adapter) {
    return {CurrentMode(adapter)};
}

DisplayMode EglSurface::CurrentMode(int) {
    return {kModeWidth, kModeHeight, kFormatX8R8G8B8};
}

bool EglSurface::CreateContext(int, int width, int height, bool) {
    if (display_ == nullptr || context_ != nullptr || width <= 0 || height <= 0) return false;
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) return false;
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    // No config: the context draws only into its own framebuffer object.
    EGLContext context =
        eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) return false;
    context_ = context;
    if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) {
        DestroyContext();
        return false;
    }

    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(1, &colourBuffer_);
    glGenRenderbuffers(1, &depthBuffer_);
    AllocateBuffers(width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        DestroyContext();
        return false;
    }
    return true;
}

void EglSurface::MakeCurrent() {
    if (context_ == nullptr) return;
    eglBindAPI(EGL_OPENGL_API);
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void EglSurface::AllocateBuffers(int width, int height) {
    glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

bool EglSurface::ResizeDrawingArea(int width, int height) {
    if (context_ == nullptr || width <= 0 || height <= 0) return false;
    MakeCurrent();
    // The renderbuffers stay attached: new storage is all a new size needs.
    AllocateBuffers(width, height);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void EglSurface::SwapBuffers() {
    if (context_ != nullptr) glFinish();
}

void EglSurface::DestroyContext() {
    if (context_ == nullptr) return;
    if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
        const GLuint renderbuffers[2] = {colourBuffer_, depthBuffer_};
        glDeleteRenderbuffers(2, renderbuffers);
    }
    framebuffer_ = colourBuffer_ = depthBuffer_ = 0;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
    context_ = nullptr;
}

void EglSurface::Close() {
    DestroyContext();
    // The surfaceless display is shared by the whole process and terminating it would pull
    // it from under other surfaces; it is left initialised.
    display_ = nullptr;
}

}  // namespace framework
