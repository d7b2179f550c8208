#pragma once
// A mesh's vertices and indices on the graphics device: one vertex buffer and one index buffer
// object, filled once when the mesh is loaded, and the runs of faces that share an attribute id.
// Made by GraphicsDevice::CreateMeshBuffers and drawn by GraphicsDevice::DrawSubset.

#include <cstdint>
#include <memory>
#include <vector>

namespace framework {

// Faces [faceStart, faceStart + faceCount) with one attribute id.
struct FaceRun {
    std::uint32_t attribId = 0, faceStart = 0, faceCount = 0;
    friend bool operator==(const FaceRun&, const FaceRun&) = default;
};

class MeshBuffers {
  public:
    MeshBuffers(const MeshBuffers&) = delete;
    MeshBuffers& operator=(const MeshBuffers&) = delete;
    // Deletes the buffer objects while the context that made them still exists; after the
    // device is released they are gone with it.
    ~MeshBuffers();

    std::uint32_t Fvf() const { return fvf_; }
    std::uint32_t Stride() const { return stride_; }
    const std::vector<FaceRun>& Runs() const { return runs_; }

  private:
    friend class GraphicsDevice;
    MeshBuffers() = default;

    std::weak_ptr<const int> context_;  // expires when the device's context is destroyed
    std::uint32_t vertexBuffer_ = 0, indexBuffer_ = 0;
    std::uint32_t fvf_ = 0, stride_ = 0;
    std::vector<FaceRun> runs_;
};

}  // namespace framework
