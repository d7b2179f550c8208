#pragma once
// One renderable part mesh loaded from a .x file, with its materials, shared textures, bounds
// and the data to draw its silhouette outline; or a generated box.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/device/mesh_buffers.h"
#include "gfx/math/math_types.h"
#include "gfx/mesh/mesh.h"
#include "scene/draw_primitives.h"
#include "scene/mesh_batch.h"
#include "scene/mesh_cache.h"
#include "scene/mesh_outline.h"
#include "scene/mesh_pick_tree.h"

namespace framework {
class GraphicsDevice;
class TextureCache;
struct Texture;
}  // namespace framework

namespace scene {

class MeshObject {
  public:
    MeshObject() = default;
    MeshObject(const MeshObject&) = delete;
    MeshObject& operator=(const MeshObject&) = delete;
    ~MeshObject() { Release(); }

    // Loads the .x file; textures come from `textures` by the names the file stores, looked up
    // as given (relative names against the current directory). With buildOutline the mesh keeps
    // positions, normals and (when the file has them) texture coordinates, and the outline data
    // is built. On failure (the reason, without the path) the object is left empty. The cache must
    // outlive the textures this object holds (until Release). With `meshes`, a file unchanged on
    // disk since it was last prepared there is taken from it instead of being read again (the log
    // and the textures are as for a read). The materials are the file's, with the ambient colour
    // a .x file cannot give set as a recolour sets it (0.4 times the diffuse colour). Vertex
    // colours the file gives are kept, and drawn as the diffuse colour. With `batch`, a file it
    // holds is taken from it, prepared there, instead of being read here (the same outline
    // choice; the log, the textures and the cache are as for a read).
    gfx::Status LoadFromFile(framework::TextureCache& textures, const std::string& path,
                             gfx::Colour colourKey, bool buildOutline, unsigned mipLevels,
                             MeshCache* meshes = nullptr, MeshBatch* batch = nullptr);
    // A centred box with one untextured material (diffuse = ambient = colour), no outline data
    // and an empty name.
    bool CreateBox(float width, float height, float depth, gfx::ColourValue colour);
    // Logs "release(name)" for a loaded file, gives the textures back and empties the object.
    void Release();
    // Box and sphere over every vertex of the current mesh.
    void ComputeBounds();
    // Builds the outline data (face neighbours, positions, face planes) and sizes projected and
    // faceFront for the current mesh; positions are read by the mesh's vertex stride.
    void BuildOutlineData();
    // Draws every material's subset at `world`. With `outline` set on a mesh loaded with outline
    // data, whose origin lies nearer than 15 units to the camera (taken from the view matrix),
    // the silhouette follows in `outlineColour`, unlit. The mesh's device buffers are made on
    // the first draw on a device and kept until Release.
    void Draw(framework::GraphicsDevice& device, const gfx::Matrix& world, bool outline,
              gfx::Colour outlineColour);

    // Draw's outline in three steps, so that the middle one can run on another thread while the
    // caller draws (scene/silhouette_pool.h). PrepareSilhouette tells whether an outline is drawn
    // at `world` under `view` and `projection` (kNone: no outline data, or the origin 15 units or
    // more from the eye) and whether its lines must be worked out (kWork) or are the last ones
    // worked out, for the same matrix (kKept). WorkOutSilhouette works out the lines asked for:
    // it reads the mesh and writes only this object's per-frame outline arrays, on any thread,
    // between PrepareSilhouette and DrawSilhouette. DrawSilhouette draws them, unlit, at the
    // world transform the mesh was last drawn at (Draw without outline sets it).
    enum class SilhouetteNeed : std::uint8_t { kNone, kKept, kWork };
    SilhouetteNeed PrepareSilhouette(const gfx::Matrix& world, const gfx::Matrix& view,
                                     const gfx::Matrix& projection);
    void WorkOutSilhouette();
    void DrawSilhouette(framework::GraphicsDevice& device, gfx::Colour colour);
    // Draws every subset at `world` in the one `material`, untextured and without outline: a
    // faint copy of the mesh, as the onion skin's ghosts are.
    void DrawInMaterial(framework::GraphicsDevice& device, const gfx::Matrix& world,
                        const gfx::Material& material);
    // Materials whose diffuse equals `match` exactly get the new diffuse, ambient 0.4 times it,
    // and their emissive rescaled to keep its brightness relative to the new diffuse.
    void RecolourByColour(gfx::ColourValue match, gfx::ColourValue colour);
    // As above for the materials whose diffuse alpha equals `tag` exactly.
    void RecolourByTag(float tag, gfx::ColourValue colour);

    bool IsLoaded() const { return d3dMesh != nullptr; }
    // The face tree made at load for the mesh now in d3dMesh; null when there is none (a mesh
    // put there afterwards, or one the tree could not be built for).
    const MeshPickTree* PickTree() const;
    // The outline data in use; null when the mesh has none.
    const OutlineData* Outline() const { return outline_.get(); }

    // A loaded mesh is shared with the mesh cache and other parts showing the same file; none of
    // them changes it.
    std::shared_ptr<const gfx::Mesh> d3dMesh;
    std::vector<gfx::Material> materials;
    std::vector<framework::Texture*> textures;  // per material; null = none
    // Per material, the texture file it was looked up as (empty = the material names none);
    // with a null texture, that file could not be read.
    std::vector<std::string> textureFiles;
    std::uint32_t materialCount = 0;
    std::string name;
    gfx::Vec3 boxMin, boxMax;
    gfx::Vec3 sphereCentre;
    float sphereRadius = 0;
    std::uint32_t vertexCount = 0;
    std::uint32_t indexCount = 0;
    std::vector<gfx::Vec3> projected;     // scratch space of the facing test, one a vertex
    std::vector<std::uint8_t> faceFront;  // one a face while there is outline data
    // The lines of the last outline worked out, as vertex index pairs: the first
    // OutlineLineCount() pairs (the rest is room for the worst case, every edge of every face).
    std::vector<std::uint16_t> outlineEnds;
    std::size_t OutlineLineCount() const { return outlineLines_; }
    bool outlineEnabled = false;

  private:
    // Empties the object without a log line (used by Release and after a failed load).
    void Discard();
    // True when BuildOutlineData has sized every outline array for the current mesh.
    bool HasOutlineData() const;
    // Marks the faces turned towards the camera in faceFront (`projected` is its scratch space).
    void MarkFrontFaces(const gfx::Matrix& toScreen);
    // Fills outlineEnds with the silhouette of the faces MarkFrontFaces marked.
    void CollectSilhouette();
    // Vertex and index buffer objects on `buffersDevice_`; made once per load and device.
    const framework::MeshBuffers* Buffers(framework::GraphicsDevice& device);

    // Takes the prepared mesh over: its bounds, a share of its mesh, outline data and pick tree.
    void Adopt(const std::shared_ptr<const PreparedMesh>& prepared);
    // Sizes the per-frame outline arrays for `outline_` and the current mesh.
    void UseOutline(std::shared_ptr<const OutlineData> outline);

    std::shared_ptr<const OutlineData> outline_;
    std::shared_ptr<const MeshPickTree> pickTree_;
    const gfx::Mesh* pickTreeMesh_ = nullptr;  // the d3dMesh the tree was made for
    // The input of the lines now in outlineEnds (or about to be, once PrepareSilhouette asked for
    // them): a frame seen through the same matrix draws them again as they are.
    gfx::Matrix outlineMatrix_{};
    std::size_t outlineLines_ = 0;
    bool outlineKept_ = false;

    framework::TextureCache* textureCache_ = nullptr;           // where `textures` came from
    std::unique_ptr<framework::MeshBuffers> buffers_;           // null until drawn, or when refused
    const framework::GraphicsDevice* buffersDevice_ = nullptr;  // the device buffers_ is for
};

}  // namespace scene
