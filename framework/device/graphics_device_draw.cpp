// Frames and drawing: clears, the vertex arrays of the fixed-function formats, user-memory
// primitives, mesh buffer objects and the back-buffer read.

#include <algorithm>
#include <bit>
#include <cstdint>

#include "framework/device/driver_timer.h"
#include "framework/device/gl_api.h"
#include "framework/device/graphics_device.h"
#include "gfx/math/math.h"

namespace framework {

// Packed ARGB in memory is B, G, R, A on a little-endian machine: GL's BGRA byte order.
static_assert(std::endian::native == std::endian::little);

namespace {

struct VertexCount {
    GLenum mode;
    std::uint64_t vertices;
};

VertexCount VerticesOf(PrimitiveType type, std::uint32_t count) {
    const std::uint64_t n = count;
    switch (type) {
        case PrimitiveType::kPointList:
            return {GL_POINTS, n};
        case PrimitiveType::kLineList:
            return {GL_LINES, 2 * n};
        case PrimitiveType::kLineStrip:
            return {GL_LINE_STRIP, n + 1};
        case PrimitiveType::kTriangleList:
            return {GL_TRIANGLES, 3 * n};
        case PrimitiveType::kTriangleStrip:
            return {GL_TRIANGLE_STRIP, n + 2};
        case PrimitiveType::kTriangleFan:
            return {GL_TRIANGLE_FAN, n + 2};
    }
    return {GL_POINTS, 0};
}

const void* At(std::uintptr_t base, int offset) {
    return reinterpret_cast<const void*>(base + static_cast<std::uintptr_t>(offset));
}

}  // namespace

void GraphicsDevice::ClearTargets(bool colour, gfx::Colour clearColour) {
    GLbitfield mask = GL_DEPTH_BUFFER_BIT;
    if (colour) {
        auto channel = [clearColour](int shift) {
            return static_cast<float>((clearColour >> shift) & 0xFF) / 255.0f;
        };
        glClearColor(channel(16), channel(8), channel(0), channel(24));
        mask |= GL_COLOR_BUFFER_BIT;
    }
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    const DriverTimer timer(driverSeconds_);
    glClear(mask);
    glDepthMask(GetRenderState(RenderState::kZWriteEnable) != 0 ? GL_TRUE : GL_FALSE);
}

// A GL context is never lost and needs no reset, so only a missing device stops a frame.
int GraphicsDevice::BeginFrame(gfx::Colour clearColour) {
    if (!created_) return 0;
    surface_.MakeCurrent();
    ClearTargets(clearColour != 0, clearColour);
    return 1;
}

int GraphicsDevice::ResizeBackBuffer(int width, int height) {
    if (!created_ || width <= 0 || height <= 0) return 0;
    if (width == screenWidth_ && height == screenHeight_) return 1;
    const DriverTimer timer(driverSeconds_);
    if (!surface_.ResizeDrawingArea(width, height)) return 0;
    screenWidth_ = width;
    screenHeight_ = height;
    glViewport(0, 0, width, height);
    return 1;
}

void GraphicsDevice::EndFrame() {
    if (!created_) return;
    const DriverTimer timer(driverSeconds_);
    surface_.SwapBuffers();
}

bool GraphicsDevice::BindVertexArrays(std::uint32_t fvf, std::uintptr_t base,
                                      std::uint32_t stride) {
    const auto step = static_cast<GLsizei>(stride);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, step, At(base, 0));

    // A format without normals lights as the zero normal: ambient and emissive only.
    if (const int normal = gfx::NormalOffset(fvf); normal >= 0) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, step, At(base, normal));
    } else {
        glNormal3f(0, 0, 0);
    }

    // Vertex colours are the diffuse material while lighting is on, and the colour itself
    // while it is off; without them an unlit vertex is white.
    bool colourMaterial = false;
    if (const int diffuse = gfx::DiffuseOffset(fvf); diffuse >= 0) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, step, At(base, diffuse));
        if (GetRenderState(RenderState::kLighting) != 0) {
            glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
            glEnable(GL_COLOR_MATERIAL);
            colourMaterial = true;
        }
    } else {
        glColor4f(1, 1, 1, 1);
    }

    if (const int texCoord = gfx::TexCoordOffset(fvf); texCoord >= 0) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, step, At(base, texCoord));
    } else {
        glTexCoord2f(0, 0);
    }
    return colourMaterial;
}

void GraphicsDevice::UnbindVertexArrays(bool colourMaterial) {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (colourMaterial) {
        // Colour tracking has overwritten the material's diffuse colour.
        glDisable(GL_COLOR_MATERIAL);
        ApplyMaterial();
    }
}

void GraphicsDevice::DrawPrimitiveUP(PrimitiveType type, std::uint32_t count, const void* vertices,
                                     std::uint32_t stride) {
    const std::uint32_t vertexSize = gfx::GetFVFVertexSize(vertexFormat_);
    if (!created_ || vertices == nullptr || count == 0 || vertexSize == 0 || stride < vertexSize) {
        return;
    }
    const VertexCount draw = VerticesOf(type, count);
    if (draw.vertices > static_cast<std::uint64_t>(INT32_MAX)) return;
    const DriverTimer timer(driverSeconds_);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    const bool colourMaterial =
        BindVertexArrays(vertexFormat_, reinterpret_cast<std::uintptr_t>(vertices), stride);
    glDrawArrays(draw.mode, 0, static_cast<GLsizei>(draw.vertices));
    UnbindVertexArrays(colourMaterial);
}

std::unique_ptr<MeshBuffers> GraphicsDevice::CreateMeshBuffers(const gfx::Mesh& mesh) {
    if (!created_ || mesh.BytesPerVertex() == 0) return nullptr;
    // Every index must name a vertex: the draw would read past the buffer otherwise.
    const auto indices = mesh.Indices();
    if (std::any_of(indices.begin(), indices.end(),
                    [&](std::uint16_t i) { return i >= mesh.NumVertices(); })) {
        return nullptr;
    }

    std::unique_ptr<MeshBuffers> buffers(new MeshBuffers());
    buffers->context_ = contextToken_;
    buffers->fvf_ = mesh.Fvf();
    buffers->stride_ = mesh.BytesPerVertex();

    const std::uint32_t faces = mesh.NumFaces();
    const auto& table = mesh.AttributeTable();
    if (!table.empty()) {
        for (const gfx::AttributeRange& range : table) {
            if (range.faceStart > faces || range.faceCount > faces - range.faceStart) continue;
            buffers->runs_.push_back({range.attribId, range.faceStart, range.faceCount});
        }
    } else {
        // Not attribute-sorted: each stretch of equal attribute ids is one run.
        const auto attributes = mesh.Attributes();
        for (std::uint32_t face = 0; face < faces; ++face) {
            if (face == 0 || attributes[face] != attributes[face - 1]) {
                buffers->runs_.push_back({attributes[face], face, 0});
            }
            ++buffers->runs_.back().faceCount;
        }
    }

    GLuint names[2] = {0, 0};
    glGenBuffers(2, names);
    buffers->vertexBuffer_ = names[0];
    buffers->indexBuffer_ = names[1];
    glBindBuffer(GL_ARRAY_BUFFER, names[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.Vertices().size_bytes()),
                 mesh.Vertices().data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, names[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size_bytes()),
                 indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return buffers;
}

void GraphicsDevice::DrawSubset(const MeshBuffers& buffers, std::uint32_t attribId) {
    if (!created_ || buffers.context_.lock() != contextToken_) return;
    const DriverTimer timer(driverSeconds_);
    glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indexBuffer_);
    const bool colourMaterial = BindVertexArrays(buffers.fvf_, 0, buffers.stride_);
    for (const FaceRun& run : buffers.runs_) {
        if (run.attribId != attribId || run.faceCount == 0) continue;
        const std::uintptr_t firstIndexByte = std::uintptr_t{run.faceStart} * 3 * 2;
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.faceCount * 3), GL_UNSIGNED_SHORT,
                       reinterpret_cast<const void*>(firstIndexByte));
    }
    UnbindVertexArrays(colourMaterial);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void GraphicsDevice::DrawMeshLines(const MeshBuffers& buffers, std::span<const std::uint16_t> ends,
                                   gfx::Colour colour) {
    const std::size_t lines = ends.size() / 2;
    if (!created_ || buffers.context_.lock() != contextToken_ || lines == 0 ||
        lines * 2 > static_cast<std::size_t>(INT32_MAX)) {
        return;
    }
    const DriverTimer timer(driverSeconds_);
    glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    // Positions only: the rest of the vertex reads as a line vertex without normal or texture
    // coordinates does, and the colour is the one an unlit coloured vertex would carry.
    const bool colourMaterial = BindVertexArrays(gfx::kFvfXyz, 0, buffers.stride_);
    glColor4ub(static_cast<GLubyte>(colour >> 16), static_cast<GLubyte>(colour >> 8),
               static_cast<GLubyte>(colour), static_cast<GLubyte>(colour >> 24));
    glDrawElements(GL_LINES, static_cast<GLsizei>(lines * 2), GL_UNSIGNED_SHORT, ends.data());
    UnbindVertexArrays(colourMaterial);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

MeshBuffers::~MeshBuffers() {
    if (context_.expired()) return;
    const GLuint names[2] = {vertexBuffer_, indexBuffer_};
    glDeleteBuffers(2, names);
}

std::vector<std::uint32_t> GraphicsDevice::ReadPixels() const {
    if (!created_ || screenWidth_ <= 0 || screenHeight_ <= 0) return {};
    const auto width = static_cast<std::size_t>(screenWidth_);
    const auto height = static_cast<std::size_t>(screenHeight_);
    const std::uint32_t framebuffer = surface_.DrawFramebuffer();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(framebuffer != 0 ? GL_COLOR_ATTACHMENT0 : GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    std::vector<std::uint32_t> bottomUp(width * height);
    glReadPixels(0, 0, screenWidth_, screenHeight_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 bottomUp.data());
    // GL rows run bottom to top. The back buffer has no alpha channel (X8R8G8B8).
    std::vector<std::uint32_t> pixels(width * height);
    for (std::size_t row = 0; row < height; ++row) {
        const std::uint32_t* source = &bottomUp[(height - 1 - row) * width];
        std::transform(source, source + width, &pixels[row * width],
                       [](std::uint32_t p) { return p | 0xFF000000u; });
    }
    return pixels;
}

}  // namespace framework
