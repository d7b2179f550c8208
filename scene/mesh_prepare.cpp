#include "scene/mesh_prepare.h"

#include <cstdint>
#include <utility>

#include "framework/asset_paths.h"
#include "gfx/meshfile/mesh_file.h"

namespace scene {
namespace {

// The optimiser's full treatment: drop unused vertices, group faces by material, and order them
// for the vertex cache.
constexpr std::uint32_t kOptimizeFlags =
    gfx::kMeshOptCompact | gfx::kMeshOptAttrSort | gfx::kMeshOptVertexCache;

// The outline reads every vertex position and every index; a mesh must hold both, in the sizes
// its counts promise.
bool HasVertexBuffer(const gfx::Mesh& mesh) {
    return mesh.NumVertices() > 0 && mesh.BytesPerVertex() >= sizeof(gfx::Vec3) &&
           mesh.Vertices().size() == std::size_t{mesh.NumVertices()} * mesh.BytesPerVertex();
}

bool HasIndexBuffer(const gfx::Mesh& mesh) {
    return mesh.NumFaces() > 0 && mesh.Indices().size() == std::size_t{mesh.NumFaces()} * 3;
}

// The file's mesh made ready to draw; null with the reason in `log` when it cannot be.
std::shared_ptr<PreparedMesh> Prepare(gfx::LoadedMesh& file, bool buildOutline, std::string& log) {
    auto prepared = std::make_shared<PreparedMesh>();
    gfx::Mesh& mesh = prepared->mesh;
    mesh = std::move(file.mesh);
    prepared->materials = file.materials;  // kept in the file for a failure's texture look-ups
    if (buildOutline) {
        // The outline reads positions; lighting needs normals; vertex colours (the diffuse
        // colour where a file gives them) and texture coordinates are kept where the file has
        // them. Other components are dropped.
        const std::uint32_t format =
            gfx::kFvfXyz | gfx::kFvfNormal | (mesh.Fvf() & (gfx::kFvfDiffuse | gfx::kFvfTex1));
        if (format != mesh.Fvf()) {
            gfx::Result<gfx::Mesh> clone = mesh.CloneMeshFVF(format);
            if (!clone) {
                log += "CloneMeshFVF failed.\n";
                return nullptr;
            }
            mesh = std::move(clone).value();
        }
    }

    // Before optimisation, so that vertices no face uses (which the optimiser drops) still count.
    const std::byte* vertices = mesh.LockVertexBuffer();
    gfx::ComputeBoundingBox(vertices, mesh.NumVertices(), mesh.BytesPerVertex(), &prepared->boxMin,
                            &prepared->boxMax);
    gfx::ComputeBoundingSphere(vertices, mesh.NumVertices(), mesh.BytesPerVertex(),
                               &prepared->sphereCentre, &prepared->sphereRadius);
    mesh.UnlockVertexBuffer();

    gfx::Result<gfx::Mesh> optimized = mesh.Optimize(kOptimizeFlags, file.adjacency);
    if (optimized) {
        mesh = std::move(optimized).value();
    } else {
        log += "optimization failed.\n";  // the unoptimised mesh draws as well
        prepared->optimizeFailed = true;
    }

    if (buildOutline) {
        if (!HasVertexBuffer(mesh)) {
            log += "GetVertexBuffer failed.\n";
            return nullptr;
        }
        if (!HasIndexBuffer(mesh)) {
            log += "GetIndexBuffer failed.\n";
            return nullptr;
        }
        prepared->outline = MakeOutlineData(mesh);
    }
    prepared->pickTree = MeshPickTree(mesh);
    return prepared;
}

}  // namespace

PreparedFile ReadAndPrepareMeshFile(const std::string& path, bool buildOutline) {
    PreparedFile result;
    // The optimiser needs no adjacency: only the outline's own neighbours are kept.
    gfx::Result<gfx::LoadedMesh> loaded =
        gfx::LoadMeshFile(path, framework::LookUpBeside, gfx::Adjacency::kSkip);
    if (!loaded) {
        result.readError = loaded.error();
        return result;
    }
    gfx::LoadedMesh& file = loaded.value();
    std::string log;
    result.mesh = Prepare(file, buildOutline, log);
    if (!result.mesh) {
        result.prepareLog = std::move(log);
        result.materials = std::move(file.materials);
    }
    return result;
}

}  // namespace scene
