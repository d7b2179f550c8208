#include "gfx/xfile/xfile_merge.h"

#include <cmath>
#include <cstring>
#include <string>

#include "gfx/base/flat_hash_map.h"
#include "gfx/math/math.h"
#include "gfx/xfile/xfile_quote.h"

namespace gfx::xfile {

namespace {

// Copies made for split normals, found by position and normal; the normal's bits with -0 as 0
// stand for its value.
struct CopyKey {
    std::uint32_t position, x, y, z;
    friend bool operator==(const CopyKey&, const CopyKey&) = default;
};

struct CopyKeyHash {
    std::size_t operator()(const CopyKey& k) const {
        std::uint64_t h = k.position;
        for (std::uint32_t part : {k.x, k.y, k.z}) h = (h ^ part) * 0x100000001B3ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

CopyKey MakeCopyKey(std::uint32_t position, Vec3 normal) {
    const auto bits = [](float value) {
        value += 0.0f;  // -0 becomes +0
        std::uint32_t out;
        std::memcpy(&out, &value, sizeof out);
        return out;
    };
    return {position, bits(normal.x), bits(normal.y), bits(normal.z)};
}

// Area-weighted vertex normals for a mesh whose file gives none. Each triangle adds its
// (unnormalised) cross product, whose length is twice its area, to its corners' positions, so
// vertices at one position share one smooth normal even where the file splits them (texture
// seams). Where the faces at a position cancel out (the two sides of a sheet that share
// positions), the vertex's own faces decide.
template <typename VertexList>
void ComputeFaceNormals(VertexList& vertices, const std::vector<std::uint32_t>& cornerVertex,
                        const std::vector<std::uint32_t>& faceSizes) {
    // Every vertex's position numbered once (vertices at one position share a number), so that
    // the faces add to plain arrays rather than look a position up at each corner.
    // An open-addressed table of the first vertex at each position (4 bytes a slot), compared by
    // the position's bits with -0 as 0.
    std::vector<std::uint32_t> place(vertices.size());
    std::uint32_t places = 0;
    {
        constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
        std::size_t slots = 16;
        while (slots < vertices.size() * 2) slots *= 2;
        std::vector<std::uint32_t> first(slots, kEmpty);
        const CopyKeyHash hash;
        for (std::size_t v = 0; v < vertices.size(); ++v) {
            const CopyKey key = MakeCopyKey(0, vertices[v].position);
            std::size_t i = ((hash(key) * 0x9E3779B97F4A7C15ull) >> 32) & (slots - 1);
            while (first[i] != kEmpty && !(MakeCopyKey(0, vertices[first[i]].position) == key)) {
                i = (i + 1) & (slots - 1);
            }
            if (first[i] == kEmpty) {
                first[i] = static_cast<std::uint32_t>(v);
                place[v] = places++;
            } else {
                place[v] = place[first[i]];
            }
        }
    }
    // Calls add(corner, weighted) at each corner of each triangle of the faces' fans.
    auto forEachCorner = [&](auto add) {
        std::size_t start = 0;
        for (std::uint32_t size : faceSizes) {
            for (std::uint32_t k = 1; k + 1 < size; ++k) {
                const std::uint32_t v0 = cornerVertex[start], v1 = cornerVertex[start + k],
                                    v2 = cornerVertex[start + k + 1];
                // Read in place rather than copied: a copied position is stored in two pieces
                // and read back across them, which stalls at every triangle.
                const Vec3 &a = vertices[v0].position, &b = vertices[v1].position,
                           &c = vertices[v2].position;
                const Vec3 weighted = Vec3Cross(b - a, c - a);
                add(v0, weighted);
                add(v1, weighted);
                add(v2, weighted);
            }
            start += size;
        }
    };
    if (places == vertices.size()) {
        // Every vertex at a position of its own: a vertex's faces are its position's faces.
        std::vector<Vec3> sum(vertices.size());
        forEachCorner([&](std::uint32_t v, const Vec3& weighted) { sum[v] = sum[v] + weighted; });
        for (std::size_t v = 0; v < vertices.size(); ++v) {
            vertices[v].normal = Vec3Normalize(sum[v]);
        }
        return;
    }
    std::vector<Vec3> own(vertices.size()), atPosition(places);
    std::vector<bool> touched(places, false);  // a face has a corner at the position
    forEachCorner([&](std::uint32_t v, const Vec3& weighted) {
        own[v] = own[v] + weighted;
        atPosition[place[v]] = atPosition[place[v]] + weighted;
        touched[place[v]] = true;
    });
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        Vec3 normal = touched[place[v]] ? Vec3Normalize(atPosition[place[v]]) : Vec3{};
        if (normal == Vec3{}) normal = Vec3Normalize(own[v]);
        vertices[v].normal = normal;
    }
}

Status TooManyVertices(const std::string& label, std::size_t needed) {
    return Error{label + ": the merged mesh needs " + std::to_string(needed) +
                 " vertices; 16-bit indices allow at most 65535"};
}

std::string Label(const MeshData& mesh, std::size_t ordinal) {
    if (!mesh.name.empty()) return "mesh " + Quoted(mesh.name);
    return "mesh " + std::to_string(ordinal) + " (unnamed)";
}

Status CheckFaces(const MeshData& mesh, const std::string& label) {
    const std::size_t vertexCount = mesh.positions.size();
    std::size_t corner = 0;
    for (std::size_t f = 0; f < mesh.faceSizes.size(); ++f) {
        const std::uint32_t size = mesh.faceSizes[f];
        if (size < 3) {
            return Error{label + ": face " + std::to_string(f) + " has " + std::to_string(size) +
                         " corners; a face needs at least 3"};
        }
        for (std::uint32_t k = 0; k < size; ++k, ++corner) {
            if (mesh.corners[corner] >= vertexCount) {
                return Error{label + ": face " + std::to_string(f) + " uses vertex " +
                             std::to_string(mesh.corners[corner]) + " of " +
                             std::to_string(vertexCount)};
            }
        }
    }
    return {};
}

Status CheckNormals(const MeshData& mesh, const std::string& label) {
    if (mesh.normalFaceSizes.size() != mesh.faceSizes.size()) {
        return Error{label + ": MeshNormals lists " + std::to_string(mesh.normalFaceSizes.size()) +
                     " faces, the mesh has " + std::to_string(mesh.faceSizes.size())};
    }
    for (std::size_t f = 0; f < mesh.faceSizes.size(); ++f) {
        if (mesh.normalFaceSizes[f] != mesh.faceSizes[f]) {
            return Error{label + ": normal face " + std::to_string(f) + " has " +
                         std::to_string(mesh.normalFaceSizes[f]) + " corners, the face has " +
                         std::to_string(mesh.faceSizes[f])};
        }
    }
    // Equal face sizes make the corner lists equally long.
    std::size_t corner = 0;
    for (std::size_t f = 0; f < mesh.faceSizes.size(); ++f) {
        for (std::uint32_t k = 0; k < mesh.faceSizes[f]; ++k, ++corner) {
            if (mesh.normalCorners[corner] >= mesh.normals.size()) {
                return Error{label + ": normal face " + std::to_string(f) + " uses normal " +
                             std::to_string(mesh.normalCorners[corner]) + " of " +
                             std::to_string(mesh.normals.size())};
            }
        }
    }
    return {};
}

// The material id of every polygon, checked against the material count.
Result<std::vector<std::uint32_t>> FaceMaterials(const MeshData& mesh, std::size_t materialCount,
                                                 const std::string& label) {
    const std::size_t faceCount = mesh.faceSizes.size();
    std::vector<std::uint32_t> ids(faceCount, 0);
    if (!mesh.hasMaterialList || mesh.declaredMaterials == 0) return ids;
    const auto& listed = mesh.faceMaterials;
    // A single entry applies to every face.
    if (listed.size() != 1 && listed.size() < faceCount) {
        return Error{label + ": MeshMaterialList gives " + std::to_string(listed.size()) +
                     " face materials for " + std::to_string(faceCount) + " faces"};
    }
    for (std::size_t f = 0; f < faceCount; ++f) {
        const std::uint32_t id = listed.size() == 1 ? listed[0] : listed[f];
        if (id >= materialCount) {
            return Error{label + ": face " + std::to_string(f) + " uses material " +
                         std::to_string(id) + " of " + std::to_string(materialCount)};
        }
        ids[f] = id;
    }
    return ids;
}

}  // namespace

ExtendedMaterial DefaultMaterial() {
    ExtendedMaterial material;
    material.material.diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
    material.material.specular = {0.5f, 0.5f, 0.5f, 0.0f};
    return material;
}

std::uint8_t ColourByte(float value) {
    if (!(value > 0.0f)) return 0;  // NaN too
    if (value >= 1.0f) return 255;
    return static_cast<std::uint8_t>(std::lround(value * 255.0f));
}

Status MeshMerger::Add(const MeshData& mesh, const Matrix& transform) {
    const std::string label = Label(mesh, ++meshCount_);
    const std::size_t vertexCount = mesh.positions.size();

    if (vertexCount > kMaxMergedVertices - vertices_.size()) {
        return TooManyVertices(label, vertices_.size() + vertexCount);
    }
    if (Status s = CheckFaces(mesh, label); !s) return s;
    if (mesh.hasNormals) {
        if (Status s = CheckNormals(mesh, label); !s) return s;
    }
    if (mesh.hasTexCoords && mesh.texCoords.size() < vertexCount) {
        return Error{label + ": MeshTextureCoords holds " + std::to_string(mesh.texCoords.size()) +
                     " coordinates for " + std::to_string(vertexCount) + " vertices"};
    }
    for (std::size_t i = 0; i < mesh.colours.size(); ++i) {
        if (mesh.colours[i].vertex >= vertexCount) {
            return Error{label + ": MeshVertexColors entry " + std::to_string(i) +
                         " names vertex " + std::to_string(mesh.colours[i].vertex) + " of " +
                         std::to_string(vertexCount)};
        }
    }

    std::vector<ExtendedMaterial> materials;
    if (mesh.hasMaterialList && mesh.declaredMaterials > 0) {
        if (mesh.materials.size() < mesh.declaredMaterials) {
            return Error{label + ": MeshMaterialList declares " +
                         std::to_string(mesh.declaredMaterials) + " materials but holds " +
                         std::to_string(mesh.materials.size())};
        }
        materials.assign(mesh.materials.begin(), mesh.materials.begin() + mesh.declaredMaterials);
    } else {
        materials.push_back(DefaultMaterial());
    }
    auto faceMaterials = FaceMaterials(mesh, materials.size(), label);
    if (!faceMaterials) return Error{faceMaterials.error()};

    std::size_t triangleCount = 0;
    for (std::uint32_t size : mesh.faceSizes) triangleCount += size - 2;
    if (triangleCount > kMaxMergedTriangles - attributes_.size()) {
        return Error{label + ": the merged mesh would exceed " +
                     std::to_string(kMaxMergedTriangles) + " triangles"};
    }

    // The file's vertices with their per-vertex attributes.
    std::vector<Vertex> local(vertexCount);
    for (std::size_t v = 0; v < vertexCount; ++v) {
        local[v].position = mesh.positions[v];
        if (mesh.hasTexCoords) local[v].uv = mesh.texCoords[v];
    }
    for (const IndexedColour& entry : mesh.colours) local[entry.vertex].diffuse = entry.colour;

    // Each corner's vertex. A position keeps the first normal it meets; a corner with another
    // normal shares a copy made earlier with that normal, or appends a new copy.
    std::vector<std::uint32_t> cornerVertex(mesh.corners.begin(), mesh.corners.end());
    if (mesh.hasNormals) {
        std::vector<Vec3> unit(mesh.normals.size());
        for (std::size_t n = 0; n < unit.size(); ++n) unit[n] = Vec3Normalize(mesh.normals[n]);
        std::vector<bool> assigned(vertexCount, false);
        FlatHashMap<CopyKey, std::uint32_t, CopyKeyHash> copies;
        // Files that give each position its own normal (glTF always, OBJ often) need no copies:
        // every corner of a position meets the same normal.
        const bool ownNormals = mesh.normalCorners == mesh.corners;
        if (ownNormals) {
            for (const std::uint32_t p : mesh.corners) local[p].normal = unit[p];
        }
        for (std::size_t c = 0; !ownNormals && c < mesh.corners.size(); ++c) {
            const std::uint32_t p = mesh.corners[c];
            const Vec3 normal = unit[mesh.normalCorners[c]];
            if (!assigned[p]) {
                assigned[p] = true;
                local[p].normal = normal;
                continue;
            }
            if (local[p].normal == normal) continue;
            const auto [found, added] =
                copies.TryEmplace(MakeCopyKey(p, normal), static_cast<std::uint32_t>(local.size()));
            if (added) {
                if (vertices_.size() + local.size() >= kMaxMergedVertices) {
                    return TooManyVertices(label, vertices_.size() + local.size() + 1);
                }
                Vertex copy = local[p];
                copy.normal = normal;
                local.push_back(copy);
            }
            cornerVertex[c] = *found;
        }
    }

    if (local.size() > kMaxMergedVertices - vertices_.size()) {
        return TooManyVertices(label, vertices_.size() + local.size());
    }

    if (!(transform == Matrix{})) {
        for (Vertex& vertex : local) {
            vertex.position = Vec3TransformCoord(vertex.position, transform);
            vertex.normal = Vec3Normalize(Vec3TransformNormal(vertex.normal, transform));
        }
    }
    // Normals the file does not give come from the faces, in the frame's space: a scaling
    // frame leaves them perpendicular to the faces.
    if (!mesh.hasNormals) ComputeFaceNormals(local, cornerVertex, mesh.faceSizes);

    const auto vertexBase = static_cast<std::uint32_t>(vertices_.size());
    const auto materialBase = static_cast<std::uint32_t>(materials_.size());
    vertices_.insert(vertices_.end(), local.begin(), local.end());
    materials_.insert(materials_.end(), materials.begin(), materials.end());
    indices_.reserve(indices_.size() + triangleCount * 3);
    attributes_.reserve(attributes_.size() + triangleCount);
    std::size_t start = 0;
    for (std::size_t f = 0; f < mesh.faceSizes.size(); ++f) {
        const std::uint32_t size = mesh.faceSizes[f];
        // Fan from the first corner: (a, b, c, d) gives (a, b, c) and (a, c, d).
        for (std::uint32_t k = 1; k + 1 < size; ++k) {
            indices_.push_back(vertexBase + cornerVertex[start]);
            indices_.push_back(vertexBase + cornerVertex[start + k]);
            indices_.push_back(vertexBase + cornerVertex[start + k + 1]);
            attributes_.push_back(materialBase + (*faceMaterials)[f]);
        }
        start += size;
    }
    colours_ |= mesh.hasColours;
    texCoords_ |= mesh.hasTexCoords;
    return {};
}

Result<LoadedMesh> MeshMerger::Finish(Adjacency adjacency) {
    if (meshCount_ == 0) return Error{"the file holds no mesh"};
    if (attributes_.empty()) return Error{"the file's meshes hold no faces"};
    // Every mesh has normals: the file's own, or ones made from its faces.
    std::uint32_t fvf = kFvfXyz | kFvfNormal;
    if (colours_) fvf |= kFvfDiffuse;
    if (texCoords_) fvf |= kFvfTex1;

    LoadedMesh loaded;
    loaded.mesh = Mesh(static_cast<std::uint32_t>(attributes_.size()),
                       static_cast<std::uint32_t>(vertices_.size()), fvf);
    Mesh& mesh = loaded.mesh;
    // Each vertex written straight into the buffer, the format's offsets looked up once.
    const std::size_t stride = mesh.BytesPerVertex();
    const int normalAt = NormalOffset(fvf), diffuseAt = DiffuseOffset(fvf);
    const int uvAt = TexCoordOffset(fvf);
    std::byte* out = mesh.Vertices().data();
    for (const Vertex& vertex : vertices_) {
        std::memcpy(out, &vertex.position, sizeof vertex.position);
        std::memcpy(out + normalAt, &vertex.normal, sizeof vertex.normal);
        if (diffuseAt >= 0) std::memcpy(out + diffuseAt, &vertex.diffuse, sizeof vertex.diffuse);
        if (uvAt >= 0) std::memcpy(out + uvAt, &vertex.uv, sizeof vertex.uv);
        out += stride;
    }
    auto indices = mesh.Indices();
    for (std::size_t i = 0; i < indices_.size(); ++i) {
        indices[i] = static_cast<std::uint16_t>(indices_[i]);
    }
    std::copy(attributes_.begin(), attributes_.end(), mesh.Attributes().begin());
    loaded.materials = std::move(materials_);
    if (adjacency == Adjacency::kMake) loaded.adjacency = mesh.GenerateAdjacency(0.0f);
    return loaded;
}

}  // namespace gfx::xfile
