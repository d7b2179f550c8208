#pragma once
// The graphics device: an OpenGL compatibility-profile context driven with the conventions of
// the classic fixed-function 3D interface. Matrices are row-vector and left-handed, the
// projection maps depth to 0..1, counter-clockwise faces are culled, a directional light shines
// along its direction, vertex colours are packed ARGB and pixel centres lie on whole pixel
// coordinates. Callers state transforms, render states, lights and materials in those terms and
// the device translates them for GL.
//
// The device keeps its own configuration (the back-buffer size, windowed mode, the device type's
// name) and the states it was last given; the camera and the light belong to its callers, who
// hand them over for every frame.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/device/gl_surface.h"
#include "framework/device/graphics_types.h"
#include "framework/device/mesh_buffers.h"
#include "framework/texture_cache.h"
#include "gfx/math/math_types.h"
#include "gfx/mesh/mesh.h"

namespace framework {

inline constexpr int kMaxLights = 8;
// The back buffer's size at creation (and the display mode the windowed check looks for); the
// editor then resizes it to follow its window.
inline constexpr int kBackBufferWidth = 640;
inline constexpr int kBackBufferHeight = 480;

// The log name of a pixel format code; "D3DFMT_UNKNOWN" for codes it does not know.
const char* FormatName(std::uint32_t format);

// The first depth format, in the order D16, D15S1, D24X8, D24S8, D24X4S4, D32, whose depth and
// stencil bits are what the surface provides; kFormatUnknown when none is.
std::uint32_t ChooseDepthFormat(DepthStencilBits bits);

// Windowed or full-screen from the desktop format: the walk over the adapter's modes stops at a
// mode of the requested size in the current format. When it finds none, the device goes
// full-screen in the format of the last mode of that size (kFormatUnknown when there is none).
struct ModeChoice {
    bool windowed = false;
    std::uint32_t backBufferFormat = kFormatUnknown;
};
ModeChoice ChooseDisplayMode(const std::vector<DisplayMode>& modes, const DisplayMode& current,
                             int width, int height);

class GraphicsDevice final : public TextureUploader {
  public:
    explicit GraphicsDevice(GlSurface& surface) : surface_(surface) {}
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;
    // Releases what is left, without log lines.
    ~GraphicsDevice() override;

    // Connects, chooses adapter and mode, creates the context, logs the configuration and the
    // capabilities, and sets the default transforms, states and light. Returns true on success,
    // false after telling the user why (ShowMessage). Calls the created hook last.
    bool InitGraphics();
    // Logs, calls the releasing hook, frees the device's textures and closes the surface. Safe
    // after a failed or partial InitGraphics.
    void FreeGraphics();
    // The owners of device resources outside the device (the overlay text's font textures): told
    // once the device is ready, and before it goes.
    void SetResourceHooks(std::function<void()> created, std::function<void()> releasing);

    // Clears depth, and the colour too when clearColour (ARGB) is not 0. The caller then sets
    // the frame's view, projection and light. 1 when a frame has begun, 0 without a device.
    int BeginFrame(gfx::Colour clearColour);
    void EndFrame();
    // Gives the back buffer a new size in device pixels and sets the viewport to all of it;
    // ScreenWidth and ScreenHeight then say the new size. The projection is the caller's to
    // match. 1 on success (or when the size is already that); 0, keeping the old size, without a
    // device, for a size below one pixel or when the surface refuses it.
    int ResizeBackBuffer(int width, int height);

    bool IsCreated() const { return created_; }
    // Seconds spent inside the driver since the device was made (state changes, clears, draws,
    // presenting): what a frame costs the renderer, apart from what it costs the caller.
    double DriverSeconds() const { return driverSeconds_; }
    int Windowed() const { return windowed_; }
    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }
    std::uint32_t Adapter() const { return adapter_; }
    std::uint32_t BackBufferFormat() const { return backBufferFormat_; }
    std::uint32_t DepthFormat() const { return depthFormat_; }
    // "TnLHAL" for a hardware rasteriser, "REF" for a software one.
    const std::string& DeviceTypeName() const { return deviceTypeName_; }

    // ---- State ----
    void SetTransform(TransformState state, const gfx::Matrix& matrix);
    const gfx::Matrix& GetTransform(TransformState state) const;
    // The inverse of the view last set (the camera's own frame); a singular view keeps the last
    // good inverse.
    const gfx::Matrix& InverseView() const { return inverseView_; }
    void SetRenderState(RenderState state, std::uint32_t value);
    std::uint32_t GetRenderState(RenderState state) const;
    void SetMaterial(const gfx::Material& material);
    const gfx::Material& GetMaterial() const { return material_; }
    // Index 0 .. kMaxLights - 1; others are ignored (GetLight gives an all-zero light).
    void SetLight(int index, const Light& light);
    const Light& GetLight(int index) const;
    void LightEnable(int index, bool enable);
    // Stage 0 only. Null (or a texture that is not on this device) draws untextured.
    void SetTexture(int stage, const Texture* texture);

    // ---- Drawing ----
    // The vertex format (gfx::kFvf* flags) of the next DrawPrimitiveUP.
    void SetVertexFormat(std::uint32_t fvf) { vertexFormat_ = fvf; }
    // Draws straight from caller memory: count primitives of the type, vertices of the current
    // vertex format, stride bytes apart.
    void DrawPrimitiveUP(PrimitiveType type, std::uint32_t count, const void* vertices,
                         std::uint32_t stride);
    // Copies the mesh's vertices and indices into buffer objects. Null without a device or for a
    // mesh without a position in its format.
    std::unique_ptr<MeshBuffers> CreateMeshBuffers(const gfx::Mesh& mesh);
    // Draws the faces with this attribute id as triangles.
    void DrawSubset(const MeshBuffers& buffers, std::uint32_t attribId);
    // Lines between the mesh's own vertices, two indices a line (each below its vertex count,
    // as the buffers were made only for such meshes), in one colour as an unlit vertex of that
    // colour would draw: the outline without copying a vertex.
    void DrawMeshLines(const MeshBuffers& buffers, std::span<const std::uint16_t> ends,
                       gfx::Colour colour);

    // ---- Textures (the texture cache's uploader) ----
    // A GL texture with every level of the texture (texels ARGB); 0 for an empty texture, a
    // level whose texel count does not match its size, or without a device.
    std::uint32_t Upload(const gfx::Texture& texture) override;
    void Free(std::uint32_t handle) override;

    // The back buffer as packed ARGB, top row first, alpha always 0xFF (the back buffer is
    // X8R8G8B8); empty without a device. On a window, read before EndFrame: presenting leaves
    // the back buffer undefined.
    std::vector<std::uint32_t> ReadPixels() const;

  private:
    void ChooseAdapter();
    void ChooseMode();
    bool CreateDevice(int width, int height);
    void ReportDeviceCaps();
    void SetDefaultTransforms();
    void SetDefaultRenderStates();
    void Release();

    // Clears depth to 1.0 and, when asked, the colour, whatever the write masks say.
    void ClearTargets(bool colour, gfx::Colour clearColour);
    void ApplyRenderState(RenderState state, std::uint32_t value);
    void ApplyModelView();
    void ApplyProjection();
    void ApplyLight(int index);
    void ApplyMaterial();
    // Points the vertex arrays at `base` (an address in user memory or, with a bound buffer,
    // an offset into it) and sets the colour and normal that a format without them takes.
    // Returns true when the material's diffuse follows the vertex colour, which
    // UnbindVertexArrays undoes.
    bool BindVertexArrays(std::uint32_t fvf, std::uintptr_t base, std::uint32_t stride);
    void UnbindVertexArrays(bool colourMaterial);

    GlSurface& surface_;
    std::function<void()> createdHook_, releasingHook_;
    bool opened_ = false;  // InitGraphics has used the surface
    bool created_ = false;
    double driverSeconds_ = 0;

    std::uint32_t adapter_ = 0;
    int windowed_ = 0;
    int screenWidth_ = 0, screenHeight_ = 0;
    std::uint32_t backBufferFormat_ = kFormatUnknown;
    std::uint32_t depthFormat_ = kFormatUnknown;
    std::string deviceTypeName_;

    gfx::Matrix world_, view_, inverseView_, projection_;
    std::array<std::uint32_t, static_cast<std::size_t>(RenderState::kCount)> renderStates_{};
    gfx::Material material_;
    std::array<Light, kMaxLights> lights_{};
    std::array<bool, kMaxLights> lightEnabled_{};
    std::uint32_t vertexFormat_ = 0;
    std::unordered_set<std::uint32_t> textures_;
    std::uint32_t boundTexture_ = 0;
    // Alive while the context is; MeshBuffers keep a weak reference.
    std::shared_ptr<const int> contextToken_;
};

}  // namespace framework
