// Transforms, render states, lights, material and texture: kept in the classic terms, applied
// to GL's fixed-function state.
//
// Matrices: a row-vector matrix M stored row by row has the memory layout of the column-major
// GL matrix M^T, and GL's M^T * v equals (v * M)^T, so matrices load unchanged. GL's modelview is
// world * view; lights are given in world space, so their GL positions are set while the
// modelview holds the view alone, and again whenever the view changes.
//
// Projection: the classic projection maps depth to 0 <= z <= w with pixel centres on whole
// coordinates; GL clips to -w <= z <= w with pixel centres at half coordinates. A fix-up matrix
// after the projection maps z to 2z - w (window depth then equals z / w, as before) and moves x
// and y by half a pixel, so the same vertices cover the same pixels. It needs nothing beyond
// GL 1.0, unlike glClipControl.
//
// Culling: both pipelines see the same clip coordinates, so a triangle that runs clockwise on
// screen in one does in the other; culling counter-clockwise faces is glFrontFace(GL_CW) with
// back faces culled.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/device/driver_timer.h"
#include "framework/device/gl_api.h"
#include "framework/device/graphics_device.h"
#include "gfx/math/math.h"

namespace framework {

namespace {

void LoadMatrix(const gfx::Matrix& m) {
    glLoadMatrixf(&m.m[0][0]);
}

std::array<GLfloat, 4> Rgba(const gfx::ColourValue& c) {
    return {c.r, c.g, c.b, c.a};
}

std::array<GLfloat, 4> Rgba(gfx::Colour argb) {
    auto channel = [argb](int shift) {
        return static_cast<float>((argb >> shift) & 0xFF) / 255.0f;
    };
    return {channel(16), channel(8), channel(0), channel(24)};
}

GLenum BlendFactor(std::uint32_t blend) {
    switch (blend) {
        case kBlendZero:
            return GL_ZERO;
        case kBlendOne:
            return GL_ONE;
        case kBlendSrcColour:
            return GL_SRC_COLOR;
        case kBlendInvSrcColour:
            return GL_ONE_MINUS_SRC_COLOR;
        case kBlendSrcAlpha:
            return GL_SRC_ALPHA;
        case kBlendInvSrcAlpha:
            return GL_ONE_MINUS_SRC_ALPHA;
        case kBlendDestAlpha:
            return GL_DST_ALPHA;
        case kBlendInvDestAlpha:
            return GL_ONE_MINUS_DST_ALPHA;
        case kBlendDestColour:
            return GL_DST_COLOR;
        case kBlendInvDestColour:
            return GL_ONE_MINUS_DST_COLOR;
        default:
            return GL_ONE;
    }
}

void Enable(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

float Degrees(float radians) {
    return radians * 180.0f / std::numbers::pi_v<float>;
}

}  // namespace

void GraphicsDevice::SetTransform(TransformState state, const gfx::Matrix& matrix) {
    const DriverTimer timer(driverSeconds_);
    switch (state) {
        case TransformState::kWorld:
            world_ = matrix;
            break;
        case TransformState::kView:
            view_ = matrix;
            // A singular view has no inverse; the last good one stays.
            if (const auto inverse = gfx::MatrixInverse(matrix)) inverseView_ = *inverse;
            if (created_) {
                for (int i = 0; i < kMaxLights; ++i) ApplyLight(i);
            }
            break;
        case TransformState::kProjection:
            projection_ = matrix;
            if (created_) ApplyProjection();
            return;
    }
    if (created_) ApplyModelView();
}

const gfx::Matrix& GraphicsDevice::GetTransform(TransformState state) const {
    switch (state) {
        case TransformState::kWorld:
            return world_;
        case TransformState::kView:
            return view_;
        case TransformState::kProjection:
            break;
    }
    return projection_;
}

void GraphicsDevice::ApplyModelView() {
    glMatrixMode(GL_MODELVIEW);
    LoadMatrix(gfx::MatrixMultiply(world_, view_));
}

void GraphicsDevice::ApplyProjection() {
    const float w = static_cast<float>(std::max(screenWidth_, 1));
    const float h = static_cast<float>(std::max(screenHeight_, 1));
    gfx::Matrix fixUp;
    fixUp.m[2][2] = 2.0f;
    fixUp.m[3][0] = 1.0f / w;   // half a pixel right
    fixUp.m[3][1] = -1.0f / h;  // half a pixel down
    fixUp.m[3][2] = -1.0f;
    glMatrixMode(GL_PROJECTION);
    LoadMatrix(gfx::MatrixMultiply(projection_, fixUp));
    glMatrixMode(GL_MODELVIEW);
}

void GraphicsDevice::SetRenderState(RenderState state, std::uint32_t value) {
    const auto index = static_cast<std::size_t>(state);
    if (index >= renderStates_.size()) return;
    renderStates_[index] = value;
    const DriverTimer timer(driverSeconds_);
    if (created_) ApplyRenderState(state, value);
}

std::uint32_t GraphicsDevice::GetRenderState(RenderState state) const {
    const auto index = static_cast<std::size_t>(state);
    return index < renderStates_.size() ? renderStates_[index] : 0;
}

void GraphicsDevice::ApplyRenderState(RenderState state, std::uint32_t value) {
    switch (state) {
        case RenderState::kLighting:
            Enable(GL_LIGHTING, value != 0);
            break;
        case RenderState::kAmbient:
            glLightModelfv(GL_LIGHT_MODEL_AMBIENT, Rgba(gfx::Colour{value}).data());
            break;
        case RenderState::kSpecularEnable:
            ApplyMaterial();
            break;
        case RenderState::kShadeMode:
            glShadeModel(value == kShadeFlat ? GL_FLAT : GL_SMOOTH);
            break;
        case RenderState::kCullMode:
            Enable(GL_CULL_FACE, value == kCullClockwise || value == kCullCounterClockwise);
            glCullFace(GL_BACK);
            glFrontFace(value == kCullClockwise ? GL_CCW : GL_CW);
            break;
        case RenderState::kZEnable:
            Enable(GL_DEPTH_TEST, value != 0);
            break;
        case RenderState::kZWriteEnable:
            glDepthMask(value != 0 ? GL_TRUE : GL_FALSE);
            break;
        case RenderState::kFogEnable:
            Enable(GL_FOG, value != 0);
            break;
        case RenderState::kAlphaBlendEnable:
            Enable(GL_BLEND, value != 0);
            break;
        case RenderState::kSrcBlend:
        case RenderState::kDestBlend:
            glBlendFunc(BlendFactor(GetRenderState(RenderState::kSrcBlend)),
                        BlendFactor(GetRenderState(RenderState::kDestBlend)));
            break;
        case RenderState::kDitherEnable:
            Enable(GL_DITHER, value != 0);
            break;
        case RenderState::kCount:
            break;
    }
}

void GraphicsDevice::SetMaterial(const gfx::Material& material) {
    material_ = material;
    const DriverTimer timer(driverSeconds_);
    if (created_) ApplyMaterial();
}

void GraphicsDevice::ApplyMaterial() {
    const bool specular = GetRenderState(RenderState::kSpecularEnable) != 0;
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, Rgba(material_.diffuse).data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, Rgba(material_.ambient).data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, Rgba(material_.emissive).data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR,
                 Rgba(specular ? material_.specular : gfx::ColourValue{}).data());
    // GL accepts exponents up to 128.
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(material_.power, 0.0f, 128.0f));
}

void GraphicsDevice::SetLight(int index, const Light& light) {
    if (index < 0 || index >= kMaxLights) return;
    lights_[static_cast<std::size_t>(index)] = light;
    if (created_) {
        ApplyLight(index);
        ApplyModelView();
    }
}

const Light& GraphicsDevice::GetLight(int index) const {
    static const Light kNone{};
    if (index < 0 || index >= kMaxLights) return kNone;
    return lights_[static_cast<std::size_t>(index)];
}

void GraphicsDevice::LightEnable(int index, bool enable) {
    if (index < 0 || index >= kMaxLights) return;
    lightEnabled_[static_cast<std::size_t>(index)] = enable;
    if (created_) Enable(static_cast<GLenum>(GL_LIGHT0 + index), enable);
}

// Point lights keep their attenuation (a light without any falls back to none, 1 / 1); the
// range limit has no GL counterpart. A spot light's cone becomes GL's cut-off at half its outer
// angle, with its falloff as the exponent.
void GraphicsDevice::ApplyLight(int index) {
    const Light& light = lights_[static_cast<std::size_t>(index)];
    const auto id = static_cast<GLenum>(GL_LIGHT0 + index);
    glMatrixMode(GL_MODELVIEW);
    LoadMatrix(view_);
    glLightfv(id, GL_DIFFUSE, Rgba(light.diffuse).data());
    glLightfv(id, GL_SPECULAR, Rgba(light.specular).data());
    glLightfv(id, GL_AMBIENT, Rgba(light.ambient).data());
    if (light.type == kLightPoint || light.type == kLightSpot) {
        const GLfloat position[4] = {light.position.x, light.position.y, light.position.z, 1};
        glLightfv(id, GL_POSITION, position);
        const bool none =
            light.attenuation0 == 0 && light.attenuation1 == 0 && light.attenuation2 == 0;
        glLightf(id, GL_CONSTANT_ATTENUATION, none ? 1.0f : light.attenuation0);
        glLightf(id, GL_LINEAR_ATTENUATION, light.attenuation1);
        glLightf(id, GL_QUADRATIC_ATTENUATION, light.attenuation2);
    } else {
        // GL wants the direction towards the light.
        const GLfloat position[4] = {-light.direction.x, -light.direction.y, -light.direction.z, 0};
        glLightfv(id, GL_POSITION, position);
        glLightf(id, GL_CONSTANT_ATTENUATION, 1.0f);
        glLightf(id, GL_LINEAR_ATTENUATION, 0.0f);
        glLightf(id, GL_QUADRATIC_ATTENUATION, 0.0f);
    }
    if (light.type == kLightSpot) {
        const GLfloat direction[3] = {light.direction.x, light.direction.y, light.direction.z};
        glLightfv(id, GL_SPOT_DIRECTION, direction);
        glLightf(id, GL_SPOT_CUTOFF, std::clamp(Degrees(light.phi / 2), 0.0f, 90.0f));
        glLightf(id, GL_SPOT_EXPONENT, std::clamp(light.falloff, 0.0f, 128.0f));
    } else {
        glLightf(id, GL_SPOT_CUTOFF, 180.0f);
    }
}

void GraphicsDevice::SetTexture(int stage, const Texture* texture) {
    if (stage != 0) return;
    const std::uint32_t handle = texture != nullptr ? texture->deviceHandle : 0;
    boundTexture_ = textures_.contains(handle) ? handle : 0;
    if (!created_) return;
    const DriverTimer timer(driverSeconds_);
    glBindTexture(GL_TEXTURE_2D, boundTexture_);
    Enable(GL_TEXTURE_2D, boundTexture_ != 0);
}

}  // namespace framework
