#include "gfx/objfile/objfile_parse.h"

#include <tiny_obj_loader.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

#include "gfx/base/flat_hash_map.h"
#include "gfx/xfile/xfile_merge.h"
#include "gfx/xfile/xfile_quote.h"

namespace gfx::objfile {

namespace {

using xfile::Quoted;

bool IsAbsolute(std::string_view name) {
    return name.starts_with('/') || name.starts_with('\\') || (name.size() >= 2 && name[1] == ':');
}

// Serves each `mtllib` name from the caller's source, remembering why a library could not be
// read, and gives the textures of a library in another folder names relative to the OBJ.
class LibraryReader : public tinyobj::MaterialReader {
  public:
    explicit LibraryReader(const MtlSource& source) : source_(source) {}

    bool operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                    std::map<std::string, int>* byName, std::string* warn,
                    std::string* err) override {
        Result<std::string> text = source_(name);
        if (!text) {
            if (failure_.empty()) failure_ = text.error();
            return false;
        }
        const std::size_t first = materials->size();
        std::istringstream stream(std::move(text).value());
        tinyobj::LoadMtl(byName, materials, &stream, warn, err);
        const std::string folder = NameFolder(name);
        for (std::size_t i = first; i < materials->size(); ++i) {
            std::string& texture = (*materials)[i].diffuse_texname;
            if (!texture.empty()) texture = TextureBesideObj(folder, texture);
        }
        return true;
    }

    const std::string& Failure() const { return failure_; }

  private:
    const MtlSource& source_;
    std::string failure_;
};

bool Finite(const float* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) return false;
    }
    return true;
}

Status CheckFinite(const std::vector<float>& values, std::size_t width, const char* what) {
    for (std::size_t i = 0; i + width <= values.size(); i += width) {
        if (!Finite(&values[i], width)) {
            return Error{std::string(what) + " " + std::to_string(i / width + 1) +
                         " is not a finite number"};
        }
    }
    return {};
}

ExtendedMaterial Convert(const tinyobj::material_t& in) {
    ExtendedMaterial out;
    Material& m = out.material;
    m.diffuse = {in.diffuse[0], in.diffuse[1], in.diffuse[2], in.dissolve};
    m.specular = {in.specular[0], in.specular[1], in.specular[2], 1.0f};
    m.emissive = {in.emission[0], in.emission[1], in.emission[2], 1.0f};
    m.power = in.shininess;
    if (!in.diffuse_texname.empty()) out.textureFilename = in.diffuse_texname;
    return out;
}

Status CheckMaterial(const tinyobj::material_t& in) {
    const float values[] = {in.diffuse[0],  in.diffuse[1],  in.diffuse[2],  in.dissolve,
                            in.specular[0], in.specular[1], in.specular[2], in.emission[0],
                            in.emission[1], in.emission[2], in.shininess};
    if (Finite(values, std::size(values))) return {};
    return Error{"material " + Quoted(in.name) + " holds a value that is not a finite number"};
}

Colour PackColour(const float* rgb) {
    return 0xFF000000u | (Colour{xfile::ColourByte(rgb[0])} << 16) |
           (Colour{xfile::ColourByte(rgb[1])} << 8) | Colour{xfile::ColourByte(rgb[2])};
}

// The position record of a distinct (vertex, texture coordinate) pair: .x vertices carry one
// texture coordinate each, so a vertex met with two coordinates becomes two positions.
struct PairKey {
    int vertex, texCoord;
    friend bool operator==(const PairKey&, const PairKey&) = default;
};
struct PairKeyHash {
    std::size_t operator()(const PairKey& k) const {
        return (static_cast<std::size_t>(static_cast<std::uint32_t>(k.vertex)) << 32) ^
               static_cast<std::uint32_t>(k.texCoord);
    }
};

std::string FaceLabel(const tinyobj::shape_t& shape, std::size_t face) {
    std::string label = "face " + std::to_string(face + 1);
    if (!shape.name.empty()) label += " of " + Quoted(shape.name);
    return label;
}

Status CheckIndex(int index, std::size_t count, const char* what, const std::string& face) {
    if (index >= 0 && static_cast<std::size_t>(index) < count) return {};
    return Error{face + " names " + what + " " + std::to_string(static_cast<long long>(index) + 1) +
                 " of " + std::to_string(count)};
}

// tinyobjloader reads a backslash in an `mtllib` line as an escape (so that "my\\ lib.mtl" is one
// name), which loses the separators of a Windows path ("Materials\\a.mtl") and the second byte
// of Shift-JIS characters such as 表 (0x95 0x5C). Each backslash not before a space is doubled,
// so that it reaches the library reader as written.
std::string KeepLibraryBackslashes(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t at = text.find("mtllib"); at != std::string_view::npos;
         at = text.find("mtllib", at + 1)) {
        const bool lineStart = at == 0 || text[at - 1] == '\n';
        const std::size_t after = at + 6;
        if (!lineStart || after >= text.size() || (text[after] != ' ' && text[after] != '\t')) {
            continue;
        }
        const std::size_t end = std::min(text.find('\n', after), text.size());
        kept.append(text.substr(copied, after - copied));
        for (std::size_t i = after; i < end; ++i) {
            kept += text[i];
            if (text[i] == '\\' && (i + 1 == end || text[i + 1] != ' ')) kept += '\\';
        }
        copied = end;
    }
    kept.append(text.substr(copied));
    return kept;
}

}  // namespace

std::string NameFolder(std::string_view name) {
    const std::size_t slash = name.find_last_of("/\\");
    if (slash == std::string_view::npos) return {};
    return std::string(name.substr(0, slash + 1));
}

std::string TextureBesideObj(std::string_view mtlFolder, std::string_view texture) {
    if (mtlFolder.empty() || IsAbsolute(texture) || IsAbsolute(mtlFolder)) {
        return std::string(texture);
    }
    return std::string(mtlFolder) + std::string(texture);
}

Result<ObjMesh> ParseObj(std::string_view text, const MtlSource& mtl) {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    LibraryReader libraries(mtl);
    std::istringstream stream{KeepLibraryBackslashes(text)};
    // Polygons are kept whole (fanned below, as the .x reader fans); vertex colours only when
    // every vertex has one.
    const bool parsed = tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, &stream,
                                         &libraries, /*triangulate=*/false,
                                         /*default_vcols_fallback=*/false);
    if (!libraries.Failure().empty()) return Error{libraries.Failure()};
    if (!parsed) {
        while (!err.empty() && (err.back() == '\n' || err.back() == '.')) err.pop_back();
        return Error{"cannot read the file: " + err};
    }
    if (warn.find("Degenerated face") != std::string::npos) {
        return Error{"a face has fewer than 3 corners"};
    }

    if (Status s = CheckFinite(attrib.vertices, 3, "vertex"); !s) return Error{s.error()};
    if (Status s = CheckFinite(attrib.normals, 3, "normal"); !s) return Error{s.error()};
    if (Status s = CheckFinite(attrib.texcoords, 2, "texture coordinate"); !s) {
        return Error{s.error()};
    }
    for (const tinyobj::material_t& material : materials) {
        if (Status s = CheckMaterial(material); !s) return Error{s.error()};
    }

    const std::size_t vertexCount = attrib.vertices.size() / 3;
    const std::size_t normalCount = attrib.normals.size() / 3;
    const std::size_t texCoordCount = attrib.texcoords.size() / 2;
    const bool colours = !attrib.colors.empty() && attrib.colors.size() == attrib.vertices.size();

    ObjMesh out;
    xfile::MeshData& data = out.data;
    bool everyCornerNormal = true, anyTexCoord = false, anyUnknownMaterial = false;
    FlatHashMap<PairKey, std::uint32_t, PairKeyHash> positionOf;
    std::vector<std::uint32_t> normalCorners;
    for (const tinyobj::shape_t& shape : shapes) {
        if (out.name.empty()) out.name = shape.name;
        const tinyobj::mesh_t& mesh = shape.mesh;
        std::size_t corner = 0;
        for (std::size_t f = 0; f < mesh.num_face_vertices.size(); ++f) {
            const std::size_t size = mesh.num_face_vertices[f];
            if (corner + size > mesh.indices.size()) break;  // checked below
            const std::string label = FaceLabel(shape, f);
            // OBJ is right-handed and winds front faces counter-clockwise; the editor's frame is
            // left-handed with clockwise front faces. As a .x exported from the same tool, z is
            // negated and each polygon's corners are taken in reverse order from its first one
            // (a, b, c, d becomes a, d, c, b), so triangle (a, b, c) turns into (a, c, b).
            for (std::size_t k = 0; k < size; ++k) {
                const std::size_t c = corner + (k == 0 ? 0 : size - k);
                const tinyobj::index_t& index = mesh.indices[c];
                if (Status s = CheckIndex(index.vertex_index, vertexCount, "vertex", label); !s) {
                    return Error{s.error()};
                }
                if (index.texcoord_index != -1) {
                    if (Status s = CheckIndex(index.texcoord_index, texCoordCount,
                                              "texture coordinate", label);
                        !s) {
                        return Error{s.error()};
                    }
                    anyTexCoord = true;
                }
                if (index.normal_index == -1) {
                    everyCornerNormal = false;
                    normalCorners.push_back(0);
                } else {
                    if (Status s = CheckIndex(index.normal_index, normalCount, "normal", label);
                        !s) {
                        return Error{s.error()};
                    }
                    normalCorners.push_back(static_cast<std::uint32_t>(index.normal_index));
                }
                const auto [position, added] =
                    positionOf.TryEmplace(PairKey{index.vertex_index, index.texcoord_index},
                                          static_cast<std::uint32_t>(data.positions.size()));
                if (added) {
                    const float* v = &attrib.vertices[3 * std::size_t(index.vertex_index)];
                    data.positions.push_back({v[0], v[1], -v[2]});
                    Vec2 uv{};
                    if (index.texcoord_index != -1) {
                        // OBJ counts v upwards from the image's bottom; textures here count
                        // downwards from the top row.
                        const float* t = &attrib.texcoords[2 * std::size_t(index.texcoord_index)];
                        uv = {t[0], 1.0f - t[1]};
                    }
                    data.texCoords.push_back(uv);
                    if (colours) {
                        data.colours.push_back(
                            {*position,
                             PackColour(&attrib.colors[3 * std::size_t(index.vertex_index)])});
                    }
                }
                data.corners.push_back(*position);
            }
            data.faceSizes.push_back(static_cast<std::uint32_t>(size));
            const int material = f < mesh.material_ids.size() ? mesh.material_ids[f] : -1;
            const bool known =
                material >= 0 && static_cast<std::size_t>(material) < materials.size();
            anyUnknownMaterial |= !known;
            data.faceMaterials.push_back(known ? static_cast<std::uint32_t>(material)
                                               : static_cast<std::uint32_t>(materials.size()));
            corner += size;
        }
        // The library keeps a polygon's corner count in a byte: a larger polygon shows as
        // corners left over.
        if (corner != mesh.indices.size()) return Error{"a face has more than 255 corners"};
    }
    if (data.faceSizes.empty()) return Error{"the file holds no faces"};

    data.hasTexCoords = anyTexCoord;
    if (!anyTexCoord) data.texCoords.clear();
    data.hasColours = colours;
    // Normals are used only when every corner names one; otherwise all are made from the faces.
    if (everyCornerNormal) {
        data.hasNormals = true;
        data.normals.reserve(normalCount);
        for (std::size_t n = 0; n < normalCount; ++n) {
            const float* v = &attrib.normals[3 * n];
            data.normals.push_back({v[0], v[1], -v[2]});
        }
        data.normalFaceSizes = data.faceSizes;
        data.normalCorners = std::move(normalCorners);
    }
    if (!materials.empty()) {
        data.hasMaterialList = true;
        for (const tinyobj::material_t& material : materials) {
            data.materials.push_back(Convert(material));
        }
        if (anyUnknownMaterial) data.materials.push_back(xfile::DefaultMaterial());
        data.declaredMaterials = static_cast<std::uint32_t>(data.materials.size());
    } else {
        data.faceMaterials.clear();
    }
    return out;
}

}  // namespace gfx::objfile
