#include "gfx/gltffile/gltf_scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "gfx/gltffile/gltf_accessor.h"
#include "gfx/xfile/xfile_merge.h"
#include "gfx/xfile/xfile_quote.h"

namespace gfx::gltffile {

namespace {

// Column-major 4 x 4 (glTF's order): m[column * 4 + row], column vectors.
using Mat4 = std::array<double, 16>;

constexpr Mat4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Mat4 Multiply(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[c * 4 + k];
            r[c * 4 + row] = sum;
        }
    }
    return r;
}

bool AllFinite(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// The node's matrix, or translation * rotation * scale.
Result<Mat4> LocalMatrix(const tinygltf::Node& node, int index) {
    const std::string label = "node " + std::to_string(index);
    if ((!node.matrix.empty() && node.matrix.size() != 16) ||
        (!node.translation.empty() && node.translation.size() != 3) ||
        (!node.rotation.empty() && node.rotation.size() != 4) ||
        (!node.scale.empty() && node.scale.size() != 3)) {
        return Error{label + " has a transform with the wrong number of values"};
    }
    if (!AllFinite(node.matrix) || !AllFinite(node.translation) || !AllFinite(node.rotation) ||
        !AllFinite(node.scale)) {
        return Error{label + " has a transform value that is not a finite number"};
    }
    Mat4 m = kIdentity;
    if (!node.matrix.empty()) {
        std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
        return m;
    }
    double x = 0, y = 0, z = 0, w = 1;
    if (!node.rotation.empty()) {
        x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
        const double length = std::sqrt(x * x + y * y + z * z + w * w);
        if (length > 0) x /= length, y /= length, z /= length, w /= length;
    }
    const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                            {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                            {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    for (int c = 0; c < 3; ++c) {
        const double s = node.scale.empty() ? 1.0 : node.scale[std::size_t(c)];
        for (int row = 0; row < 3; ++row) m[c * 4 + row] = r[row][c] * s;
        if (!node.translation.empty()) m[12 + c] = node.translation[std::size_t(c)];
    }
    return m;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// URIs escape bytes as %XX; the texture's file name is the unescaped text.
std::string DecodeUri(const std::string& uri) {
    std::string out;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && HexDigit(uri[i + 1]) >= 0 &&
            HexDigit(uri[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(uri[i + 1]) * 16 + HexDigit(uri[i + 2]));
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

class SceneBuilder {
  public:
    SceneBuilder(const tinygltf::Model& model, const std::string& imageKey)
        : model_(model), imageKey_(imageKey) {}

    Status AddNode(int index, const Mat4& world);
    Result<xfile::MeshData> Finish();

  private:
    Status AddPrimitive(const tinygltf::Primitive& primitive, int node, const Mat4& world,
                        const std::string& label);
    Result<ExtendedMaterial> ConvertMaterial(int index);

    const tinygltf::Model& model_;
    const std::string& imageKey_;
    std::vector<Vec3> positions_, normals_;
    std::vector<Vec2> texCoords_;
    std::vector<Colour> colours_;
    std::vector<std::uint32_t> corners_;
    std::vector<int> faceMaterials_;  // the glTF material, -1 for none
    std::set<int> usedMaterials_;
    bool everyNormal_ = true, anyTexCoord_ = false, anyColour_ = false;
    std::size_t skipped_ = 0;
    std::map<int, std::shared_ptr<const std::vector<std::byte>>> images_;
    std::map<std::array<int, 5>, std::size_t> vertexSets_;  // the first vertex of each set
};

Status SceneBuilder::AddNode(int index, const Mat4& world) {
    const tinygltf::Node& node = model_.nodes[std::size_t(index)];
    if (node.mesh < 0) return {};
    if (std::size_t(node.mesh) >= model_.meshes.size()) {
        return Error{"node " + std::to_string(index) + " names mesh " + std::to_string(node.mesh) +
                     ", which does not exist"};
    }
    const tinygltf::Mesh& mesh = model_.meshes[std::size_t(node.mesh)];
    const std::string name = mesh.name.empty() ? "mesh " + std::to_string(node.mesh)
                                               : "mesh " + xfile::Quoted(mesh.name);
    for (std::size_t p = 0; p < mesh.primitives.size(); ++p) {
        const std::string label = name + " primitive " + std::to_string(p);
        if (Status s = AddPrimitive(mesh.primitives[p], index, world, label); !s) return s;
    }
    return {};
}

Status SceneBuilder::AddPrimitive(const tinygltf::Primitive& primitive, int node, const Mat4& world,
                                  const std::string& label) {
    const int mode = primitive.mode;
    if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
        mode != TINYGLTF_MODE_TRIANGLE_FAN) {
        ++skipped_;  // points and lines have no faces
        return {};
    }
    const auto attribute = [&primitive](const char* name) {
        const auto found = primitive.attributes.find(name);
        return found == primitive.attributes.end() ? -1 : found->second;
    };
    const int positionAccessor = attribute("POSITION");
    if (positionAccessor < 0) return Error{label + " has no POSITION"};
    const auto fail = [&label](const std::string& reason) { return Error{label + ": " + reason}; };
    constexpr int kFloat = TINYGLTF_COMPONENT_TYPE_FLOAT;
    constexpr int kU8 = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
    constexpr int kU16 = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
    constexpr int kU32 = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;

    auto positions = ViewAccessor(model_, positionAccessor, {TINYGLTF_TYPE_VEC3}, {kFloat}, false);
    if (!positions) return fail("POSITION " + positions.error());
    const std::size_t n = positions->Count();
    // Primitives of one node that share their vertex attributes (one per material, as the
    // export writes them) share their vertices here too.
    const std::array<int, 5> key = {node, positionAccessor, attribute("NORMAL"),
                                    attribute("TEXCOORD_0"), attribute("COLOR_0")};
    const auto [shared, added] = vertexSets_.try_emplace(key, positions_.size());
    const std::size_t base = shared->second;
    if (added && n > xfile::kMaxMergedVertices - base) {
        return fail("the merged mesh needs " + std::to_string(base + n) +
                    " vertices; 16-bit indices allow at most 65535");
    }
    const auto optional = [&](const char* name, std::initializer_list<int> types,
                              std::initializer_list<int> components) -> Result<AccessorView> {
        auto view = ViewAccessor(model_, attribute(name), types, components, true);
        if (!view) return Error{std::string(name) + " " + view.error()};
        if (view->Count() != n) {
            return Error{std::string(name) + " holds " + std::to_string(view->Count()) +
                         " entries for " + std::to_string(n) + " vertices"};
        }
        return view;
    };
    std::optional<AccessorView> normals, texCoords, colours;
    if (attribute("NORMAL") >= 0) {
        auto view = optional("NORMAL", {TINYGLTF_TYPE_VEC3}, {kFloat});
        if (!view) return fail(view.error());
        normals = *view;
    }
    if (attribute("TEXCOORD_0") >= 0) {
        auto view = optional("TEXCOORD_0", {TINYGLTF_TYPE_VEC2}, {kFloat, kU8, kU16});
        if (!view) return fail(view.error());
        texCoords = *view;
    }
    if (attribute("COLOR_0") >= 0) {
        auto view =
            optional("COLOR_0", {TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC4}, {kFloat, kU8, kU16});
        if (!view) return fail(view.error());
        colours = *view;
    }
    std::optional<AccessorView> indices;
    if (primitive.indices >= 0) {
        auto view = ViewAccessor(model_, primitive.indices, {TINYGLTF_TYPE_SCALAR},
                                 {kU8, kU16, kU32}, false);
        if (!view) return fail("indices " + view.error());
        indices = *view;
    }
    if (primitive.material >= 0 && std::size_t(primitive.material) >= model_.materials.size()) {
        return fail("material " + std::to_string(primitive.material) + " does not exist");
    }

    const std::size_t count = indices ? indices->Count() : n;
    const char* what = indices ? " indices" : " vertices";
    if (mode == TINYGLTF_MODE_TRIANGLES && count % 3 != 0) {
        return fail(std::to_string(count) + what + " are not a whole number of triangles");
    }
    if (mode != TINYGLTF_MODE_TRIANGLES && count < 3) {
        return fail(std::to_string(count) + what + " are too few for a triangle");
    }
    const std::size_t triangles = mode == TINYGLTF_MODE_TRIANGLES ? count / 3 : count - 2;
    if (triangles > xfile::kMaxMergedTriangles - faceMaterials_.size()) {
        return fail("the merged mesh would exceed " + std::to_string(xfile::kMaxMergedTriangles) +
                    " triangles");
    }
    std::vector<std::uint32_t> vertexOf(count);
    for (std::size_t i = 0; i < count; ++i) {
        vertexOf[i] = indices ? indices->Index(i) : static_cast<std::uint32_t>(i);
        if (vertexOf[i] >= n) {
            return fail("index " + std::to_string(i) + " names vertex " +
                        std::to_string(vertexOf[i]) + " of " + std::to_string(n));
        }
    }

    // Positions go through the node's matrix and normals through its cofactor matrix (the
    // inverse transpose times the determinant, turned back where that is negative). glTF is
    // right-handed, the editor's frame left-handed: z is negated, as the export does.
    const auto column = [&world](int c) {
        return std::array<double, 3>{world[c * 4], world[c * 4 + 1], world[c * 4 + 2]};
    };
    const auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
        return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                                     a[0] * b[1] - a[1] * b[0]};
    };
    const auto a0 = column(0), a1 = column(1), a2 = column(2);
    const std::array<std::array<double, 3>, 3> cofactor = {cross(a1, a2), cross(a2, a0),
                                                           cross(a0, a1)};
    const double det = a0[0] * cofactor[0][0] + a0[1] * cofactor[0][1] + a0[2] * cofactor[0][2];
    const double normalSign = det < 0 ? -1.0 : 1.0;
    if (added) {
        positions_.reserve(base + n);
        normals_.reserve(base + n);
        texCoords_.reserve(base + n);
        colours_.reserve(base + n);
    }
    for (std::size_t v = 0; added && v < n; ++v) {
        const double p[3] = {positions->Float(v, 0), positions->Float(v, 1),
                             positions->Float(v, 2)};
        double out[3];
        for (int r = 0; r < 3; ++r) {
            out[r] = world[r] * p[0] + world[4 + r] * p[1] + world[8 + r] * p[2] + world[12 + r];
        }
        const Vec3 position{float(out[0]), float(out[1]), -float(out[2])};
        if (!std::isfinite(position.x) || !std::isfinite(position.y) ||
            !std::isfinite(position.z)) {
            return fail("position " + std::to_string(v) + " is not a finite number");
        }
        positions_.push_back(position);
        Vec3 normal{};
        if (normals) {
            const double m[3] = {normals->Float(v, 0), normals->Float(v, 1), normals->Float(v, 2)};
            if (!std::isfinite(m[0]) || !std::isfinite(m[1]) || !std::isfinite(m[2])) {
                return fail("normal " + std::to_string(v) + " is not a finite number");
            }
            double t[3];
            for (int r = 0; r < 3; ++r) {
                t[r] = normalSign *
                       (cofactor[0][r] * m[0] + cofactor[1][r] * m[1] + cofactor[2][r] * m[2]);
            }
            const double length = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
            if (length > 0 && std::isfinite(length)) {
                normal = {float(t[0] / length), float(t[1] / length), -float(t[2] / length)};
            }
        }
        normals_.push_back(normal);
        Vec2 uv{};
        if (texCoords) {
            uv = {texCoords->Float(v, 0), texCoords->Float(v, 1)};
            if (!std::isfinite(uv.x) || !std::isfinite(uv.y)) {
                return fail("texture coordinate " + std::to_string(v) + " is not a finite number");
            }
        }
        texCoords_.push_back(uv);
        Colour colour = 0xFFFFFFFFu;
        if (colours) {
            const float alpha = colours->Components() == 4 ? colours->Float(v, 3) : 1.0f;
            colour = (Colour{xfile::ColourByte(alpha)} << 24) |
                     (Colour{xfile::ColourByte(colours->Float(v, 0))} << 16) |
                     (Colour{xfile::ColourByte(colours->Float(v, 1))} << 8) |
                     Colour{xfile::ColourByte(colours->Float(v, 2))};
        }
        colours_.push_back(colour);
    }
    if (added) {
        everyNormal_ &= normals.has_value();
        anyTexCoord_ |= texCoords.has_value();
        anyColour_ |= colours.has_value();
    }

    // glTF's front faces wind counter-clockwise, the editor's clockwise: with z negated the
    // corners are taken in reverse order (a, b, c becomes a, c, b), as the export writes them.
    // A node whose matrix mirrors winds its faces the other way round already.
    const bool reverse = det >= 0;
    usedMaterials_.insert(primitive.material);
    corners_.reserve(corners_.size() + 3 * triangles);
    faceMaterials_.reserve(faceMaterials_.size() + triangles);
    const auto addTriangle = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        const auto at = [&](std::uint32_t i) { return static_cast<std::uint32_t>(base + i); };
        if (reverse) std::swap(b, c);
        corners_.push_back(at(a));
        corners_.push_back(at(b));
        corners_.push_back(at(c));
        faceMaterials_.push_back(primitive.material);
    };
    if (mode == TINYGLTF_MODE_TRIANGLES) {
        for (std::size_t i = 0; i < count; i += 3) {
            addTriangle(vertexOf[i], vertexOf[i + 1], vertexOf[i + 2]);
        }
    } else {
        for (std::size_t i = 0; i + 2 < count; ++i) {
            std::uint32_t a, b, c;
            if (mode == TINYGLTF_MODE_TRIANGLE_FAN) {
                a = vertexOf[i + 1], b = vertexOf[i + 2], c = vertexOf[0];
            } else if (i % 2 == 0) {
                a = vertexOf[i], b = vertexOf[i + 1], c = vertexOf[i + 2];
            } else {
                a = vertexOf[i + 1], b = vertexOf[i], c = vertexOf[i + 2];
            }
            // Strips and fans join their runs with repeated indices: those triangles are empty.
            if (a == b || b == c || a == c) continue;
            addTriangle(a, b, c);
        }
    }
    return {};
}

Result<ExtendedMaterial> SceneBuilder::ConvertMaterial(int index) {
    const tinygltf::Material& in = model_.materials[std::size_t(index)];
    const std::string label = "material " + std::to_string(index);
    const std::vector<double>& base = in.pbrMetallicRoughness.baseColorFactor;
    const std::vector<double>& emissive = in.emissiveFactor;
    if (base.size() != 4 || emissive.size() != 3) {
        return Error{label + " has a colour with the wrong number of values"};
    }
    if (!AllFinite(base) || !AllFinite(emissive)) {
        return Error{label + " holds a value that is not a finite number"};
    }
    ExtendedMaterial out;
    // An opaque material ignores the alpha it gives.
    const double alpha = in.alphaMode == "OPAQUE" || in.alphaMode.empty() ? 1.0 : base[3];
    out.material.diffuse = {float(base[0]), float(base[1]), float(base[2]), float(alpha)};
    out.material.emissive = {float(emissive[0]), float(emissive[1]), float(emissive[2]), 1.0f};

    const int texture = in.pbrMetallicRoughness.baseColorTexture.index;
    if (texture < 0) return out;
    if (std::size_t(texture) >= model_.textures.size()) {
        return Error{label + " names texture " + std::to_string(texture) +
                     ", which does not exist"};
    }
    const int source = model_.textures[std::size_t(texture)].source;
    if (source < 0) return out;  // an image only an extension gives
    if (std::size_t(source) >= model_.images.size()) {
        return Error{"texture " + std::to_string(texture) + " names image " +
                     std::to_string(source) + ", which does not exist"};
    }
    const tinygltf::Image& image = model_.images[std::size_t(source)];
    if (!image.uri.empty()) {
        out.textureFilename = DecodeUri(image.uri);
        return out;
    }
    auto& bytes = images_[source];
    if (!bytes) {
        std::span<const unsigned char> encoded(image.image);
        if (image.bufferView >= 0) {
            auto view = BufferViewBytes(model_, image.bufferView);
            if (!view) return Error{"image " + std::to_string(source) + ": " + view.error()};
            encoded = *view;
        }
        const auto* first = reinterpret_cast<const std::byte*>(encoded.data());
        bytes = std::make_shared<const std::vector<std::byte>>(first, first + encoded.size());
    }
    out.textureFilename = imageKey_ + "#image" + std::to_string(source);
    out.textureData = bytes;
    return out;
}

Result<xfile::MeshData> SceneBuilder::Finish() {
    if (faceMaterials_.empty()) {
        return Error{skipped_ > 0 ? "the scene holds points or lines but no triangles"
                                  : "the scene holds no triangles"};
    }
    xfile::MeshData data;
    // The materials the faces use, in the file's order, then grey for faces without one.
    std::vector<int> used(usedMaterials_.begin(), usedMaterials_.end());
    if (used.front() == -1) std::rotate(used.begin(), used.begin() + 1, used.end());
    std::map<int, std::uint32_t> slot;
    for (int material : used) {
        slot[material] = static_cast<std::uint32_t>(data.materials.size());
        if (material < 0) {
            data.materials.push_back(xfile::DefaultMaterial());
            continue;
        }
        auto converted = ConvertMaterial(material);
        if (!converted) return Error{converted.error()};
        data.materials.push_back(std::move(converted).value());
    }
    data.hasMaterialList = true;
    data.declaredMaterials = static_cast<std::uint32_t>(data.materials.size());
    data.faceMaterials.reserve(faceMaterials_.size());
    for (int material : faceMaterials_) data.faceMaterials.push_back(slot[material]);

    data.faceSizes.assign(faceMaterials_.size(), 3);
    data.positions = std::move(positions_);
    data.corners = std::move(corners_);
    // Normals are used only when every primitive gives them; otherwise all come from the faces.
    if (everyNormal_) {
        data.hasNormals = true;
        data.normals = std::move(normals_);
        data.normalFaceSizes = data.faceSizes;
        data.normalCorners = data.corners;
    }
    if (anyTexCoord_) {
        data.hasTexCoords = true;
        data.texCoords = std::move(texCoords_);
    }
    if (anyColour_) {
        data.hasColours = true;
        data.colours.reserve(colours_.size());
        for (std::size_t v = 0; v < colours_.size(); ++v) {
            data.colours.push_back({static_cast<std::uint32_t>(v), colours_[v]});
        }
    }
    return data;
}

}  // namespace

Result<xfile::MeshData> BuildSceneMesh(const tinygltf::Model& model, const std::string& imageKey) {
    if (model.scenes.empty()) return Error{"the file holds no scene"};
    const int scene = model.defaultScene >= 0 ? model.defaultScene : 0;
    if (std::size_t(scene) >= model.scenes.size()) {
        return Error{"the default scene " + std::to_string(scene) + " does not exist"};
    }
    SceneBuilder builder(model, imageKey);
    // Depth first, children in order, without recursion (a chain of nodes may be long).
    struct Pending {
        int node;
        Mat4 parent;
    };
    std::vector<Pending> stack;
    const std::vector<int>& roots = model.scenes[std::size_t(scene)].nodes;
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.push_back({*it, kIdentity});
    std::vector<bool> reached(model.nodes.size(), false);
    while (!stack.empty()) {
        const Pending pending = stack.back();
        stack.pop_back();
        const int index = pending.node;
        if (index < 0 || std::size_t(index) >= model.nodes.size()) {
            return Error{"node " + std::to_string(index) + " does not exist"};
        }
        if (reached[std::size_t(index)]) {
            return Error{"node " + std::to_string(index) + " is reached twice in the scene's tree"};
        }
        reached[std::size_t(index)] = true;
        auto local = LocalMatrix(model.nodes[std::size_t(index)], index);
        if (!local) return Error{local.error()};
        const Mat4 world = Multiply(pending.parent, *local);
        if (Status s = builder.AddNode(index, world); !s) return Error{s.error()};
        const std::vector<int>& children = model.nodes[std::size_t(index)].children;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            stack.push_back({*it, world});
        }
    }
    return builder.Finish();
}

}  // namespace gfx::gltffile
