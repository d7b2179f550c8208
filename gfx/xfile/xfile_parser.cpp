#include "gfx/xfile/xfile_parser.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "gfx/math/math.h"
#include "gfx/xfile/xfile_quote.h"

namespace gfx::xfile {

namespace {

enum class Kind {
    kFrame,
    kFrameTransformMatrix,
    kMesh,
    kMeshNormals,
    kMeshTextureCoords,
    kMeshVertexColors,
    kMeshMaterialList,
    kMaterial,
    kTextureFilename,
    kOther,
};

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

// Template names match without regard to case.
Kind Classify(std::string_view identifier) {
    static constexpr std::pair<std::string_view, Kind> kKnown[] = {
        {"Frame", Kind::kFrame},
        {"FrameTransformMatrix", Kind::kFrameTransformMatrix},
        {"Mesh", Kind::kMesh},
        {"MeshNormals", Kind::kMeshNormals},
        {"MeshTextureCoords", Kind::kMeshTextureCoords},
        {"MeshVertexColors", Kind::kMeshVertexColors},
        {"MeshMaterialList", Kind::kMeshMaterialList},
        {"Material", Kind::kMaterial},
        {"TextureFilename", Kind::kTextureFilename},
    };
    for (const auto& [name, kind] : kKnown) {
        if (EqualsIgnoreCase(identifier, name)) return kind;
    }
    return Kind::kOther;
}

// Packs a colour the way the fixed-function pipeline does: clamped, rounded to 8 bits.
Colour PackColour(float r, float g, float b, float a) {
    const auto channel = [](float value) -> std::uint32_t {
        if (!(value > 0.0f)) return 0;
        if (value >= 1.0f) return 255;
        return static_cast<std::uint32_t>(value * 255.0f + 0.5f);
    };
    return channel(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

// Exporters also name objects with bare numbers ("Frame 001").
bool IsName(const Token& token) {
    return token.kind == TokenKind::kName ||
           (token.kind == TokenKind::kNumber && !token.text.empty());
}

// An object as its header names it: the template identifier and the optional object name.
struct Header {
    std::string_view identifier;
    std::string_view name;
    Kind kind = Kind::kOther;

    std::string Describe() const {
        std::string text = PrintableText(identifier);
        if (!name.empty()) text += " " + Quoted(name);
        return text;
    }
};

template <typename Reader>
class Parser {
  public:
    Parser(Reader& reader, MeshMerger& merger)
        : r_(reader),
          merger_(merger),
          reloadBudget_(kReloadBaseBudget + kReloadInputFactor * reader.Remaining()) {}

    Status Run() {
        for (;;) {
            const Mark start = r_.GetMark();
            Token token;
            if (!r_.Next(token)) return ReaderError("file");
            switch (token.kind) {
                case TokenKind::kEnd:
                    return {};
                case TokenKind::kCBrace:
                    break;  // exporters sometimes leave a stray closing brace
                case TokenKind::kTemplate:
                    if (Status s = SkipTemplate(); !s) return s;
                    break;
                case TokenKind::kOBrace: {
                    std::string_view name;
                    if (Status s = ReadReference("file", name); !s) return s;
                    break;
                }
                case TokenKind::kName: {
                    Header header;
                    if (Status s = ReadHeader(token, start, header); !s) return s;
                    Status s = header.kind == Kind::kFrame  ? ParseFrame(header, Matrix{}, 1)
                               : header.kind == Kind::kMesh ? ParseMesh(header, Matrix{})
                                                            : SkipBody(header);
                    if (!s) return s;
                    break;
                }
                default:
                    return Unexpected(token, "at the top level");
            }
        }
    }

  private:
    struct Named {
        Mark mark;
        Kind kind;
    };

    Status ReaderError(const std::string& context) const {
        return Error{context + ": " + r_.Error()};
    }

    Status Unexpected(const Token& token, const std::string& where) const {
        std::string what;
        switch (token.kind) {
            case TokenKind::kNumber:
                what = "unexpected number";
                break;
            case TokenKind::kString:
                what = "unexpected string " + Quoted(token.text);
                break;
            case TokenKind::kEnd:
                what = "unexpected end of the data";
                break;
            default:
                what = "unexpected " + Quoted(token.text);
                break;
        }
        return Error{what + " " + where + " (" + r_.Where() + ")"};
    }

    // After the identifier: the optional name, '{' and the optional GUID. Every named object is
    // remembered so that later references can load it again.
    Status ReadHeader(const Token& identifier, Mark start, Header& header) {
        header.identifier = identifier.text;
        header.kind = Classify(identifier.text);
        Token token;
        if (!r_.Next(token)) return ReaderError(PrintableText(identifier.text));
        if (IsName(token)) {
            header.name = token.text;
            if (!r_.Next(token)) return ReaderError(header.Describe());
        }
        if (token.kind != TokenKind::kOBrace) {
            return Unexpected(token, "after " + header.Describe() + ", expected '{'");
        }
        if (!r_.SkipGuid()) return ReaderError(header.Describe());
        if (!header.name.empty()) names_.try_emplace(header.name, Named{start, header.kind});
        return {};
    }

    Status SkipBody(const Header& header) {
        if (!r_.SkipObject()) return ReaderError(header.Describe());
        return {};
    }

    Status SkipTemplate() {
        Token token;
        if (!r_.Next(token)) return ReaderError("template");
        if (token.kind != TokenKind::kName) return Unexpected(token, "after 'template'");
        const std::string context = "template " + Quoted(token.text);
        if (!r_.Next(token)) return ReaderError(context);
        if (token.kind != TokenKind::kOBrace) return Unexpected(token, "in " + context);
        if (!r_.SkipObject()) return ReaderError(context);
        return {};
    }

    // After '{' in a body: a reference "{ Name }".
    Status ReadReference(const std::string& context, std::string_view& name) {
        Token token;
        if (!r_.Next(token)) return ReaderError(context);
        if (!IsName(token)) return Unexpected(token, "in a reference in " + context);
        name = token.text;
        if (!r_.Next(token)) return ReaderError(context);
        if (token.kind != TokenKind::kCBrace) {
            return Unexpected(token, "after reference " + Quoted(name) + " in " + context);
        }
        return {};
    }

    enum class ChildType { kEnd, kReference, kObject };
    struct Child {
        ChildType type = ChildType::kEnd;
        std::string_view reference;  // kReference: the name between the braces
        Header header;               // kObject: the child's header, its body not yet read
    };

    // What comes next inside an object: its closing brace, a reference, or a child object.
    // Numbers there are data beyond the object's template.
    Status NextChild(const std::string& context, Child& child) {
        const Mark start = r_.GetMark();
        Token token;
        if (!r_.Next(token)) return ReaderError(context);
        switch (token.kind) {
            case TokenKind::kCBrace:
                child.type = ChildType::kEnd;
                return {};
            case TokenKind::kOBrace:
                child.type = ChildType::kReference;
                return ReadReference(context, child.reference);
            case TokenKind::kName:
                child.type = ChildType::kObject;
                return ReadHeader(token, start, child.header);
            case TokenKind::kNumber:
                return Error{context + " holds more data than its template (" + r_.Where() + ")"};
            default:
                return Unexpected(token, "in " + context);
        }
    }

    // The rest of an object whose data was read: child objects and references are skipped.
    Status FinishObject(const std::string& context) {
        for (;;) {
            Child child;
            if (Status s = NextChild(context, child); !s) return s;
            if (child.type == ChildType::kEnd) return {};
            if (child.type == ChildType::kObject) {
                if (Status s = SkipBody(child.header); !s) return s;
            }
        }
    }

    Result<Named> Resolve(std::string_view name, const std::string& context) const {
        const auto found = names_.find(name);
        if (found == names_.end()) {
            return Error{context + " references " + Quoted(name) +
                         ", which no earlier object declares (" + r_.Where() + ")"};
        }
        return found->second;
    }

    // Loads an earlier object again from its header, then returns to where the reader was.
    // The bytes read again are budgeted: many references to an object that adds nothing to
    // the mesh could otherwise make a small file take unbounded time.
    template <typename Body>
    Status Reload(const Named& target, Body&& body) {
        const Mark resume = r_.GetMark();
        r_.Seek(target.mark);
        Token identifier;
        Header header;
        Status status;
        if (!r_.Next(identifier)) {
            status = ReaderError("reference");
        } else {
            status = ReadHeader(identifier, target.mark, header);
            if (status) status = body(header);
        }
        reloadedBytes_ += r_.GetMark().pos - target.mark.pos;
        r_.Seek(resume);
        if (status && reloadedBytes_ > reloadBudget_) {
            return Error{"references make the loader read " + std::to_string(reloadedBytes_) +
                         " bytes again, more than the limit of " + std::to_string(reloadBudget_) +
                         " (" + r_.Where() + ")"};
        }
        return status;
    }

    bool ReadFloats(float* values, int count) {
        for (int i = 0; i < count; ++i) {
            if (!r_.ReadFloat(values[i])) return false;
        }
        return true;
    }

    // Reserves room for `count` items of `numbers` numbers each, but never more than the rest of
    // the input could hold, so that a lying count cannot claim memory.
    template <typename T>
    void ReserveCapped(std::vector<T>& items, std::size_t count, std::size_t numbers) const {
        const std::size_t fits = r_.Remaining() / (Reader::kMinNumberBytes * numbers);
        items.reserve(std::min(count, fits));
    }

    Status ParseFrame(const Header& frame, const Matrix& parent, int depth) {
        const std::string context = frame.Describe();
        if (depth > kMaxFrameDepth) {
            return Error{context + ": frames nested deeper than " + std::to_string(kMaxFrameDepth) +
                         " (" + r_.Where() + ")"};
        }
        // A transform applies to the meshes after it; a second one in the frame accumulates.
        Matrix transform = parent;
        for (;;) {
            Child next;
            if (Status s = NextChild(context, next); !s) return s;
            if (next.type == ChildType::kEnd) return {};
            if (next.type == ChildType::kReference) {
                auto target = Resolve(next.reference, context);
                if (!target) return Error{target.error()};
                if (target->kind == Kind::kMesh) {
                    Status s = Reload(
                        *target, [&](const Header& mesh) { return ParseMesh(mesh, transform); });
                    if (!s) return s;
                }
                continue;
            }
            const Header& child = next.header;
            Status s;
            switch (child.kind) {
                case Kind::kFrameTransformMatrix: {
                    Matrix local;
                    if (!ReadFloats(&local.m[0][0], 16)) {
                        return ReaderError(context + ": " + child.Describe());
                    }
                    s = FinishObject(context + ": " + child.Describe());
                    transform = MatrixMultiply(local, transform);
                    break;
                }
                case Kind::kFrame:
                    s = ParseFrame(child, transform, depth + 1);
                    break;
                case Kind::kMesh:
                    s = ParseMesh(child, transform);
                    break;
                default:
                    s = SkipBody(child);
                    break;
            }
            if (!s) return s;
        }
    }

    Status ReadMeshFaces(std::vector<std::uint32_t>& sizes, std::vector<std::uint32_t>& corners) {
        std::uint32_t faceCount = 0;
        if (!r_.ReadUInt(faceCount)) return Status(Error{r_.Error()});
        ReserveCapped(sizes, faceCount, 4);
        ReserveCapped(corners, std::size_t{faceCount} * 3, 1);  // mostly triangles
        for (std::uint32_t f = 0; f < faceCount;) {
            // Whole faces straight from a binary integer list when one is open; a face running
            // past the list's end is left to the reads below.
            if constexpr (requires { r_.IntsOpen(); }) {
                const std::span<const std::byte> open = r_.IntsOpen();
                const std::size_t numbers = open.size() / 4;
                auto number = [&](std::size_t i) {
                    std::uint32_t value;
                    std::memcpy(&value, open.data() + i * 4, 4);
                    return value;
                };
                std::size_t used = 0;
                while (f < faceCount && used < numbers) {
                    const std::uint32_t size = number(used);
                    if (size > numbers - used - 1) break;
                    sizes.push_back(size);
                    for (std::uint32_t k = 1; k <= size; ++k) corners.push_back(number(used + k));
                    used += std::size_t{size} + 1;
                    ++f;
                }
                r_.SkipInts(used);
                if (used > 0) continue;
            }
            std::uint32_t size = 0;
            if (!r_.ReadUInt(size)) return Status(Error{r_.Error()});
            sizes.push_back(size);
            for (std::uint32_t k = 0; k < size; ++k) {
                std::uint32_t index = 0;
                if (!r_.ReadUInt(index)) return Status(Error{r_.Error()});
                corners.push_back(index);
            }
            ++f;
        }
        return {};
    }

    // A counted list of vectors followed by a counted list of faces: the layout that Mesh
    // (positions) and MeshNormals (normals) share.
    Status ReadVectorsAndFaces(const std::string& context, std::vector<Vec3>& vectors,
                               std::vector<std::uint32_t>& faceSizes,
                               std::vector<std::uint32_t>& corners) {
        std::uint32_t count = 0;
        if (!r_.ReadUInt(count)) return ReaderError(context);
        ReserveCapped(vectors, count, 3);
        for (std::uint32_t i = 0; i < count;) {
            // Whole vectors straight from a binary float list when one is open.
            if constexpr (requires { r_.TakeFloats(vectors.data(), 0); }) {
                static_assert(sizeof(Vec3) == 3 * sizeof(float));
                const std::size_t whole = std::min<std::size_t>(count - i, r_.FloatsOpen() / 3);
                if (whole > 0) {
                    const std::size_t at = vectors.size();
                    vectors.resize(at + whole);
                    r_.TakeFloats(vectors.data() + at, whole * 3);
                    i += static_cast<std::uint32_t>(whole);
                    continue;
                }
            }
            Vec3 v;
            if (!r_.ReadFloat(v.x) || !r_.ReadFloat(v.y) || !r_.ReadFloat(v.z)) {
                return ReaderError(context);
            }
            vectors.push_back(v);
            ++i;
        }
        if (Status s = ReadMeshFaces(faceSizes, corners); !s) {
            return Error{context + ": " + s.error()};
        }
        return {};
    }

    Status ParseMesh(const Header& header, const Matrix& transform) {
        const std::string context = header.Describe();
        MeshData mesh;
        mesh.name = header.name;
        if (Status s = ReadVectorsAndFaces(context, mesh.positions, mesh.faceSizes, mesh.corners);
            !s) {
            return s;
        }
        for (;;) {
            Child next;
            if (Status s = NextChild(context, next); !s) return s;
            if (next.type == ChildType::kEnd) break;
            if (next.type == ChildType::kReference) continue;
            const Header& child = next.header;
            const std::string childContext = context + ": " + child.Describe();
            Status s;
            switch (child.kind) {
                case Kind::kMeshNormals:
                    s = ParseNormals(mesh, childContext);
                    break;
                case Kind::kMeshTextureCoords:
                    s = ParseTexCoords(mesh, childContext);
                    break;
                case Kind::kMeshVertexColors:
                    s = ParseColours(mesh, childContext);
                    break;
                case Kind::kMeshMaterialList:
                    s = ParseMaterialList(mesh, childContext);
                    break;
                default:
                    s = SkipBody(child);
                    break;
            }
            if (!s) return s;
        }
        return merger_.Add(mesh, transform);
    }

    Status ParseNormals(MeshData& mesh, const std::string& context) {
        mesh.hasNormals = true;
        mesh.normals.clear();
        mesh.normalFaceSizes.clear();
        mesh.normalCorners.clear();
        if (Status s = ReadVectorsAndFaces(context, mesh.normals, mesh.normalFaceSizes,
                                           mesh.normalCorners);
            !s) {
            return s;
        }
        return FinishObject(context);
    }

    Status ParseTexCoords(MeshData& mesh, const std::string& context) {
        mesh.hasTexCoords = true;
        mesh.texCoords.clear();
        std::uint32_t count = 0;
        if (!r_.ReadUInt(count)) return ReaderError(context);
        ReserveCapped(mesh.texCoords, count, 2);
        for (std::uint32_t t = 0; t < count; ++t) {
            Vec2 uv;
            if (!r_.ReadFloat(uv.x) || !r_.ReadFloat(uv.y)) return ReaderError(context);
            mesh.texCoords.push_back(uv);
        }
        return FinishObject(context);
    }

    Status ParseColours(MeshData& mesh, const std::string& context) {
        mesh.hasColours = true;
        mesh.colours.clear();
        std::uint32_t count = 0;
        if (!r_.ReadUInt(count)) return ReaderError(context);
        ReserveCapped(mesh.colours, count, 5);
        for (std::uint32_t c = 0; c < count; ++c) {
            IndexedColour entry;
            float rgba[4];
            if (!r_.ReadUInt(entry.vertex) || !ReadFloats(rgba, 4)) return ReaderError(context);
            entry.colour = PackColour(rgba[0], rgba[1], rgba[2], rgba[3]);
            mesh.colours.push_back(entry);
        }
        return FinishObject(context);
    }

    Status ParseMaterialList(MeshData& mesh, const std::string& context) {
        mesh.hasMaterialList = true;
        mesh.materials.clear();
        mesh.faceMaterials.clear();
        std::uint32_t faceCount = 0;
        if (!r_.ReadUInt(mesh.declaredMaterials) || !r_.ReadUInt(faceCount)) {
            return ReaderError(context);
        }
        ReserveCapped(mesh.faceMaterials, faceCount, 1);
        for (std::uint32_t f = 0; f < faceCount; ++f) {
            std::uint32_t id = 0;
            if (!r_.ReadUInt(id)) return ReaderError(context);
            mesh.faceMaterials.push_back(id);
        }
        // Materials follow inline or as references to earlier Material objects.
        for (;;) {
            Child next;
            if (Status s = NextChild(context, next); !s) return s;
            if (next.type == ChildType::kEnd) return {};
            if (next.type == ChildType::kReference) {
                const std::string_view name = next.reference;
                auto target = Resolve(name, context);
                if (!target) return Error{target.error()};
                if (target->kind != Kind::kMaterial) {
                    return Error{context + " references " + Quoted(name) +
                                 ", which is not a Material (" + r_.Where() + ")"};
                }
                ExtendedMaterial material;
                Status s = Reload(*target, [&](const Header& header) {
                    return ParseMaterial(header, context + ": " + header.Describe(), material);
                });
                if (!s) return s;
                mesh.materials.push_back(std::move(material));
                continue;
            }
            const Header& child = next.header;
            if (child.kind != Kind::kMaterial) {
                if (Status s = SkipBody(child); !s) return s;
                continue;
            }
            ExtendedMaterial material;
            if (Status s = ParseMaterial(child, context + ": " + child.Describe(), material); !s) {
                return s;
            }
            mesh.materials.push_back(std::move(material));
        }
    }

    Status ParseMaterial(const Header&, const std::string& context, ExtendedMaterial& out) {
        float values[11];
        if (!ReadFloats(values, 11)) return ReaderError(context);
        Material& m = out.material;
        m.diffuse = {values[0], values[1], values[2], values[3]};
        m.power = values[4];
        m.specular = {values[5], values[6], values[7], 1.0f};
        m.emissive = {values[8], values[9], values[10], 1.0f};
        m.ambient = {0.0f, 0.0f, 0.0f, 1.0f};
        for (;;) {
            Child next;
            if (Status s = NextChild(context, next); !s) return s;
            if (next.type == ChildType::kEnd) return {};
            if (next.type == ChildType::kReference) continue;
            const Header& child = next.header;
            if (child.kind != Kind::kTextureFilename) {
                if (Status s = SkipBody(child); !s) return s;
                continue;
            }
            const std::string childContext = context + ": " + child.Describe();
            std::string_view filename;
            if (!r_.ReadString(filename)) return ReaderError(childContext);
            // With several texture names the last one counts.
            out.textureFilename = std::string(filename);
            if (Status s = FinishObject(childContext); !s) return s;
        }
    }

    Reader& r_;
    MeshMerger& merger_;
    std::unordered_map<std::string_view, Named> names_;
    std::size_t reloadedBytes_ = 0;
    std::size_t reloadBudget_;
};

}  // namespace

Status ParseObjects(TextReader& reader, MeshMerger& merger) {
    return Parser<TextReader>(reader, merger).Run();
}

Status ParseObjects(BinaryReader& reader, MeshMerger& merger) {
    return Parser<BinaryReader>(reader, merger).Run();
}

}  // namespace gfx::xfile
