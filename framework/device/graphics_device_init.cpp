// Creating and releasing the graphics device: adapter, mode, context, the configuration log and
// the default state.

#include <array>
#include <cstring>

#include "framework/command_line.h"
#include "framework/debug_log.h"
#include "framework/device/gl_api.h"
#include "framework/device/graphics_device.h"
#include "framework/notice.h"
#include "gfx/math/math.h"

namespace framework {

namespace {

struct DepthCandidate {
    std::uint32_t format;
    int depth, stencil;
};
constexpr std::array<DepthCandidate, 6> kDepthOrder = {{
    {80, 16, 0},  // D16
    {73, 15, 1},  // D15S1
    {77, 24, 0},  // D24X8
    {75, 24, 8},  // D24S8
    {79, 24, 4},  // D24X4S4
    {71, 32, 0},  // D32
}};

// Software rasterisers stand where the reference device did.
bool IsSoftwareRenderer() {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr) return false;
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "SWR"}) {
        if (std::strstr(renderer, name) != nullptr) return true;
    }
    return false;
}

}  // namespace

const char* FormatName(std::uint32_t format) {
    switch (format) {
        case 20:
            return "D3DFMT_R8G8B8";
        case 21:
            return "D3DFMT_A8R8G8B8";
        case 22:
            return "D3DFMT_X8R8G8B8";
        case 23:
            return "D3DFMT_R5G6B5";
        case 24:
            return "D3DFMT_X1R5G5B5";
        case 25:
            return "D3DFMT_A1R5G5B5";
        case 26:
            return "D3DFMT_A4R4G4B4";
        case 27:
            return "D3DFMT_R3G3B2";
        case 28:
            return "D3DFMT_A8";
        case 29:
            return "D3DFMT_A8R3G3B2";
        case 30:
            return "D3DFMT_X4R4G4B4";
        case 70:
            return "D3DFMT_D16_LOCKABLE";
        case 71:
            return "D3DFMT_D32";
        case 73:
            return "D3DFMT_D15S1";
        case 75:
            return "D3DFMT_D24S8";
        case 77:
            return "D3DFMT_D24X8";
        case 79:
            return "D3DFMT_D24X4S4";
        case 80:
            return "D3DFMT_D16";
        default:
            return "D3DFMT_UNKNOWN";
    }
}

std::uint32_t ChooseDepthFormat(DepthStencilBits bits) {
    for (const DepthCandidate& candidate : kDepthOrder) {
        if (candidate.depth == bits.depth && candidate.stencil == bits.stencil) {
            return candidate.format;
        }
    }
    return kFormatUnknown;
}

ModeChoice ChooseDisplayMode(const std::vector<DisplayMode>& modes, const DisplayMode& current,
                             int width, int height) {
    // One mode record is reused by the walk, so after it the record holds the matching mode,
    // else the last one listed, else (no modes) the current mode.
    DisplayMode record = current;
    std::uint32_t substitute = kFormatUnknown;
    for (const DisplayMode& mode : modes) {
        record = mode;
        if (record.width != width || record.height != height) continue;
        if (record.format == current.format) break;
        substitute = record.format;
    }
    if (record.format == current.format) return {true, current.format};
    return {false, substitute};
}

GraphicsDevice::~GraphicsDevice() {
    Release();
}

void GraphicsDevice::SetResourceHooks(std::function<void()> created,
                                      std::function<void()> releasing) {
    createdHook_ = std::move(created);
    releasingHook_ = std::move(releasing);
}

bool GraphicsDevice::InitGraphics() {
    Release();
    LogSeparator();
    LogMessage("InitDirect3D\n");
    opened_ = true;  // a failed Open may still leave something for Close
    if (!surface_.Open()) {
        ShowMessage("Direct3Dの初期化に失敗しました.");
        return false;
    }
    if (!CreateDevice(kBackBufferWidth, kBackBufferHeight)) return false;
    ReportDeviceCaps();
    SetDefaultTransforms();
    SetDefaultRenderStates();
    for (int i = 0; i < kMaxLights; ++i) LightEnable(i, lightEnabled_[static_cast<std::size_t>(i)]);
    SetLight(0, MakeDirectionalLight({1, -1, 1}, {0.5f, 0.5f, 0.5f, 0.0f}));
    LightEnable(0, true);
    if (createdHook_) createdHook_();
    return true;
}

void GraphicsDevice::ChooseAdapter() {
    const int count = surface_.AdapterCount();
    LogMessage("アダプタ数 = %d\n", count);
    LogMessage("アダプタID = ");
    if (count >= 2 && IsSwitchPresent("-2nd")) {
        adapter_ = 1;
        LogMessage("1\n");
    } else {
        adapter_ = 0;
        LogMessage("D3DADAPTER_DEFAULT\n");
    }
    LogMessage("アダプタ名 = %s\n", surface_.AdapterName(static_cast<int>(adapter_)).c_str());
}

void GraphicsDevice::ChooseMode() {
    const int adapter = static_cast<int>(adapter_);
    const std::vector<DisplayMode> modes = surface_.AdapterModes(adapter);
    LogMessage("アダプタのモード数 = %d\n", static_cast<int>(modes.size()));
    const DisplayMode current = surface_.CurrentMode(adapter);
    backBufferFormat_ = current.format;
    LogMessage("現在のモード = %d x %d %s\n", current.width, current.height,
               FormatName(current.format));

    const ModeChoice choice = ChooseDisplayMode(modes, current, screenWidth_, screenHeight_);
    LogMessage("ウインドウ化 = ");
    if (choice.windowed) {
        LogMessage("ON\n");
        windowed_ = 1;
    } else {
        backBufferFormat_ = choice.backBufferFormat;
        LogMessage("OFF(フォーマット変更)\n");
        windowed_ = 0;
    }
    LogMessage("選択されたモード = %d x %d %s ", screenWidth_, screenHeight_,
               FormatName(backBufferFormat_));
    depthFormat_ = ChooseDepthFormat(surface_.DepthBits());
    LogMessage("(%s)\n", FormatName(depthFormat_));
}

bool GraphicsDevice::CreateDevice(int width, int height) {
    screenWidth_ = width;
    screenHeight_ = height;
    ChooseAdapter();
    ChooseMode();
    if (!surface_.CreateContext(static_cast<int>(adapter_), width, height, windowed_ == 1)) {
        ShowMessage("3Dデバイスが作成できません.");
        return false;
    }
    created_ = true;
    contextToken_ = std::make_shared<const int>(0);
    deviceTypeName_ = IsSoftwareRenderer() ? "REF" : "TnLHAL";
    LogMessage("デバイスタイプ = %s\n", deviceTypeName_.c_str());
    glViewport(0, 0, width, height);
    return true;
}

void GraphicsDevice::SetDefaultTransforms() {
    SetTransform(TransformState::kWorld, gfx::MatrixIdentity());
    SetTransform(TransformState::kView, gfx::MatrixLookAtLH({0, 0, -1}, {0, 0, 0}, {0, 1, 0}));
    SetTransform(
        TransformState::kProjection,
        gfx::MatrixPerspectiveFovLH(
            0.7853982f, static_cast<float>(screenWidth_) / static_cast<float>(screenHeight_), 0.1f,
            10000.0f));
    // The clip status has no GL counterpart; GL clips against every plane anyway.
}

void GraphicsDevice::SetDefaultRenderStates() {
    // Fixed-function details GL sets otherwise by default: flat shading takes the first vertex's
    // colour, specular uses the direction to the eye (which also keeps it right in a left-handed
    // eye space) and is added after texturing, depth passes on equal. Normals are renormalised
    // after the world-view transform, so a scaled model is lit as it is unscaled.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_NORMALIZE);

    SetRenderState(RenderState::kLighting, 1);
    SetRenderState(RenderState::kAmbient, 0xFF808080);
    SetRenderState(RenderState::kSpecularEnable, 0);
    SetRenderState(RenderState::kShadeMode, kShadeGouraud);
    SetRenderState(RenderState::kCullMode, kCullCounterClockwise);
    SetRenderState(RenderState::kZEnable, 1);
    SetRenderState(RenderState::kZWriteEnable, 1);
    SetRenderState(RenderState::kFogEnable, 0);
    SetRenderState(RenderState::kAlphaBlendEnable, 1);
    SetRenderState(RenderState::kSrcBlend, kBlendSrcAlpha);
    SetRenderState(RenderState::kDestBlend, kBlendInvSrcAlpha);
    SetRenderState(RenderState::kDitherEnable, 0);
    ApplyMaterial();

    // Texture stage 0: colour and alpha are texture times diffuse. Point filtering is set on
    // each texture as it is uploaded.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    SetTexture(0, nullptr);

    ClearTargets(true, 0);
}

void GraphicsDevice::FreeGraphics() {
    LogSeparator();
    LogMessage("FreeDirect3D\n");
    if (created_ && releasingHook_) releasingHook_();
    Release();
}

void GraphicsDevice::Release() {
    if (created_) {
        surface_.MakeCurrent();
        for (const std::uint32_t texture : textures_) glDeleteTextures(1, &texture);
        created_ = false;
    }
    textures_.clear();
    boundTexture_ = 0;
    contextToken_.reset();
    lights_ = {};
    lightEnabled_ = {};
    if (opened_) surface_.Close();
    opened_ = false;
}

}  // namespace framework
