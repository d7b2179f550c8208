// Files the .x reader must refuse: each fails with a message naming the reason, and no
// malformed, truncated or lying input may crash the reader or make it claim huge memory.

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>

#include "tests/gfx/xfile_test_util.h"

namespace gfx {
namespace {

using namespace xtest;

void ExpectFailure(const Result<LoadedMesh>& result, const std::string& reason) {
    const std::string error = Failure(result);
    EXPECT_NE(error.find(reason), std::string::npos) << "message: " << error;
}

void ExpectTextFailure(const std::string& body, const std::string& reason) {
    SCOPED_TRACE(body);
    ExpectFailure(LoadText("xof 0302txt 0032\n" + body), reason);
}

std::vector<std::byte> ReadFixture(const std::string& name) {
    std::ifstream file(FixturePath(name), std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(file)), {});
    const auto bytes = std::as_bytes(std::span(chars));
    return {bytes.begin(), bytes.end()};
}

TEST(XFileErrors, HeadersThatAreNotXFiles) {
    ExpectFailure(LoadText(""), "shorter than the 16-byte");
    ExpectFailure(LoadText("xof 0302txt"), "shorter than the 16-byte");
    ExpectFailure(LoadText("xog 0302txt 0032 Mesh {}"), "not a .x file");
    ExpectFailure(LoadText("xof 0302zip 0032"), "unknown .x encoding 'zip '");
    ExpectFailure(LoadText("xof 0302txt 0016"), "unknown .x float size '0016'");
}

TEST(XFileErrors, FilesWithoutAMeshOrWithoutFaces) {
    ExpectFailure(LoadText("xof 0302txt 0032"), "holds no mesh");
    ExpectTextFailure("Frame F { Frame G { } }\nMaterial M { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }",
                      "holds no mesh");
    ExpectTextFailure("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 0; }", "hold no faces");
    ExpectFailure(LoadMeshFromX(FixturePath("missing.x")), "missing.x: cannot open");
}

TEST(XFileErrors, FacesThatAreTooSmallOrPointPastTheVertices) {
    ExpectTextFailure("Mesh Box { 3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 3;0,1,2;, 3;0,3,2;; }",
                      "mesh 'Box': face 1 uses vertex 3 of 3");
    ExpectTextFailure("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }",
                      "mesh 1 (unnamed): face 0 has 2 corners");
    ExpectTextFailure(
        "Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;"
        " MeshNormals { 1; 0;0;1;; 1; 3;0,1,0;; } }",
        "normal face 0 uses normal 1 of 1");
    ExpectTextFailure(
        "Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;"
        " MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }",
        "normal face 0 has 4 corners, the face has 3");
    ExpectTextFailure(
        "Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 0; } }",
        "MeshNormals lists 0 faces, the mesh has 1");
    ExpectTextFailure(
        "Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;"
        " MeshTextureCoords { 2; 0;0;, 1;1;; } }",
        "MeshTextureCoords holds 2 coordinates for 3 vertices");
    ExpectTextFailure(
        "Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;"
        " MeshVertexColors { 1; 3; 1;1;1;1;;; } }",
        "MeshVertexColors entry 0 names vertex 3 of 3");
}

TEST(XFileErrors, MaterialListsThatDoNotMatch) {
    const std::string mesh = "Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 3;0,1,2;, 3;2,1,0;;";
    const std::string material = "Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }";
    ExpectTextFailure(mesh + "MeshMaterialList { 2; 2; 0,2;; " + material + material + " } }",
                      "face 1 uses material 2 of 2");
    ExpectTextFailure(mesh + "MeshMaterialList { 2; 2; 0,1;; " + material + " } }",
                      "declares 2 materials but holds 1");
    ExpectTextFailure(mesh + "MeshMaterialList { 1; 0; ; " + material + " } }",
                      "gives 0 face materials for 2 faces");
    ExpectTextFailure("Frame F { } " + mesh + "MeshMaterialList { 1; 1; 0;; {F} } }",
                      "references 'F', which is not a Material");
    ExpectTextFailure(mesh + "MeshMaterialList { 1; 1; 0;; {Later} } }", "references 'Later'");
}

TEST(XFileErrors, MalformedTextNamesTheLine) {
    ExpectTextFailure("Mesh {\n 3;\n 0;0;0;, 1.0x;0;0;, 0;1;0;; }", "malformed number '1.0x'");
    ExpectTextFailure("Mesh {\n 3;\n 0;0;0;, 1;0;0;,\n }", "expected a number at line 5");
    ExpectTextFailure("Mesh {\n 3;\n 0;0;0;, -1.#IND00;0;0;, 0;1;0;; }",
                      "malformed number '-1.#IND00'");
    ExpectTextFailure("Mesh { -3; }", "expected a whole number");
    ExpectTextFailure("Mesh { 99999999999; }", "out of range");
    ExpectTextFailure(
        "Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1;"
        " 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"a.bmp; }"
        " } } }",
        "is not closed");
    ExpectTextFailure(
        "Frame F { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1, 5;; } }",
        "holds more data than its template");
    ExpectTextFailure("Mesh Open { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;", "Mesh 'Open'");
    ExpectTextFailure("Frame F { Mesh; }", "expected '{'");
    ExpectTextFailure("12;", "unexpected number at the top level");
    ExpectTextFailure("Skipped { { }", "not closed before the end of the file");
}

// Messages are UTF-8 while a file's names may be Shift-JIS or garbage: well-formed UTF-8 is
// quoted as it is, any other byte as '?'.
bool IsWellFormedUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

TEST(XFileErrors, MessagesQuoteFileTextAsWellFormedUtf8) {
    const std::string badFace = " { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,5;; }";
    const struct {
        std::string body;
        std::string shown;
    } cases[] = {
        // "頭" in Shift-JIS, then in UTF-8.
        {"Mesh \x93\xAA" + badFace, "mesh '\?\?': face 0 uses vertex 5 of 3"},
        {"Mesh \xE9\xA0\xAD" + badFace, "mesh '\xE9\xA0\xAD': face 0 uses vertex 5 of 3"},
        // A stray byte, a control character and a cut UTF-8 sequence.
        {"template Frame \xAC { }", "unexpected '?' in template 'Frame'"},
        {"Frame F\x01 { ] }", "Frame 'F?'"},
        {"Frame \xE9\xA0 { 12 }", "Frame '\?\?'"},
        {"Mesh {\n 3;\n 0;0;0;, 1\xE9\xA0\xAD;0;0;, 0;1;0;; }", "malformed number '1\xE9\xA0\xAD'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const std::string error = Failure(LoadText("xof 0302txt 0032\n" + c.body));
        EXPECT_TRUE(IsWellFormedUtf8(error)) << error;
        EXPECT_NE(error.find(c.shown), std::string::npos) << "message: " << error;
    }
}

TEST(XFileErrors, FramesNestedTooDeep) {
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "Frame {\n";
    ExpectTextFailure(deep, "frames nested deeper than 256");
}

TEST(XFileErrors, LyingCountsFailWithoutClaimingMemory) {
    ExpectTextFailure("Mesh { 4000000000; 1;2;3; }", "expected a number");
    ExpectTextFailure("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 4000000000; 3;0,1,2;; }",
                      "expected a whole number");
    ExpectTextFailure("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 4000000000;0,1,2;; }",
                      "expected a whole number");
    BinaryX list;
    list.Name("Mesh").Open().Integer(3).Token(7).Raw(0x40000000, 4).Raw(0, 8);
    ExpectFailure(LoadBytes(list.bytes()), "claims 1073741824 items");
    BinaryX name;
    name.Token(1).Raw(0xFFFFFFFF, 4);
    ExpectFailure(LoadBytes(name.bytes()), "claims 4294967295 items");
}

TEST(XFileErrors, ReferencesThatRereadTooMuchFail) {
    // An empty mesh carrying 100 KB of skipped data, loaded again a thousand times.
    std::string file = "Mesh Empty { 0; 0; Padding { \"" + std::string(100000, '.') + "\"; } }\n";
    file += "Frame F {\n";
    for (int i = 0; i < 1000; ++i) file += "{Empty}\n";
    ExpectTextFailure(file + "}\n", "references make the loader read");
}

TEST(XFileErrors, BinaryStreamsWithUnknownOrMisplacedTokens) {
    BinaryX unknown;
    unknown.Name("Mesh").Open().Token(4);
    ExpectFailure(LoadBytes(unknown.bytes()), "expected an integer at byte 28, found token 4");
    BinaryX skipped;
    skipped.Name("Odd").Open().Token(99).Close();
    ExpectFailure(LoadBytes(skipped.bytes()), "unknown binary token 99 at byte 27");
    BinaryX wrongType;
    wrongType.Name("Mesh").Open().Floats({3});
    ExpectFailure(LoadBytes(wrongType.bytes()), "expected an integer");
    BinaryX odd;
    odd.Name("Mesh").Open().Ints({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 3, 0, 1, 2});
    odd.Raw(11, 1);  // half a closing brace
    ExpectFailure(LoadBytes(odd.bytes()), "stray byte");
}

TEST(XFileErrors, MoreThan65535MergedVerticesFail) {
    const auto mesh = [](int vertices) {
        std::string text = "Mesh {\n" + std::to_string(vertices) + ";\n";
        for (int v = 0; v < vertices; ++v) text += "0;0;" + std::to_string(v) + ";,\n";
        return text + "1;\n3;0,1,2;;\n}\n";
    };
    Ok(LoadText("xof 0302txt 0032\n" + mesh(65535)));
    ExpectTextFailure(mesh(65536), "the merged mesh needs 65536 vertices");
    ExpectTextFailure(mesh(40000) + mesh(30000), "mesh 2 (unnamed): the merged mesh needs 70000");
    // Copies made for split normals count too: 65533 positions and three corners that meet
    // their positions again with a second normal.
    std::string split = mesh(65533);
    split.replace(split.rfind("1;\n3;0,1,2;;"), std::string::npos,
                  "2; 3;0,1,2;, 3;0,1,2;;\n"
                  "MeshNormals { 2; 1;0;0;, 0;1;0;; 2; 3;0,0,0;, 3;1,1,1;; }\n}\n");
    ExpectTextFailure(split, "the merged mesh needs 65536 vertices");
}

// A file cut short anywhere before its last closing brace leaves its one object open; a
// compressed file cut anywhere lacks data its size field promised.
TEST(XFileErrors, EveryTruncationOfASingleObjectFileFails) {
    for (const char* name : {"split_normals.x", "split_normals.bin.x", "frames.bzip.x",
                             "frames.tzip.x", "materials.tzip.x"}) {
        SCOPED_TRACE(name);
        const std::vector<std::byte> bytes = ReadFixture(name);
        ASSERT_GT(bytes.size(), 16u);
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        std::size_t failingCuts = bytes.size();
        if (text.substr(8, 4) == "txt ") failingCuts = text.rfind('}');
        if (text.substr(8, 4) == "bin ") failingCuts = bytes.size() - 2;
        for (std::size_t cut = 0; cut < failingCuts; ++cut) {
            const auto result = LoadMeshFromXInMemory(std::span(bytes.data(), cut));
            ASSERT_FALSE(result.ok()) << "cut at " << cut;
            ASSERT_FALSE(result.error().empty());
        }
    }
}

// Cuts of files with several top-level objects may end between objects and load the ones
// before; elsewhere they fail with a message.
TEST(XFileErrors, TruncatedMultiObjectFilesFailOrLoadTheCompleteObjects) {
    for (const char* name : {"materials.x", "skinned.bin.x", "frames.bin64.x"}) {
        SCOPED_TRACE(name);
        const std::vector<std::byte> bytes = ReadFixture(name);
        const auto whole = LoadMeshFromXInMemory(bytes);
        ASSERT_TRUE(whole.ok()) << whole.error();
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            const auto result = LoadMeshFromXInMemory(std::span(bytes.data(), cut));
            if (result.ok()) {
                ASSERT_LE(result->mesh.NumFaces(), whole->mesh.NumFaces()) << "cut at " << cut;
            } else {
                ASSERT_FALSE(result.error().empty()) << "cut at " << cut;
            }
        }
    }
}

std::vector<std::byte> Compressed(const std::string& body, std::uint16_t declaredChunk,
                                  std::uint32_t declaredTotal) {
    std::vector<Bytef> deflated(compressBound(static_cast<uLong>(body.size())) + 64);
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    z.avail_in = static_cast<uInt>(body.size());
    z.next_out = deflated.data();
    z.avail_out = static_cast<uInt>(deflated.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    deflated.resize(z.total_out);
    deflateEnd(&z);
    BinaryX b("xof 0302tzip0032");
    b.Raw(declaredTotal, 4).Raw(declaredChunk, 2).Raw(deflated.size() + 2, 2).Raw('C', 1);
    b.Raw('K', 1);
    std::vector<std::byte> bytes = b.bytes();
    for (Bytef byte : deflated) bytes.push_back(std::byte(byte));
    return bytes;
}

TEST(XFileErrors, CompressedFilesThatDoNotAddUp) {
    const std::string body = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    const auto size = static_cast<std::uint16_t>(body.size());
    Ok(LoadBytes(Compressed(body, size, size + 16)));
    ExpectFailure(LoadBytes(Compressed(body, size, size + 17)),
                  "inflates to " + std::to_string(size + 16) + " bytes, its header declares");
    ExpectFailure(LoadBytes(Compressed(body, size, size + 15)), "inflates past the declared size");
    ExpectFailure(LoadBytes(Compressed(body, size - 1, size + 15)), "inflates to more than");
    ExpectFailure(LoadBytes(Compressed(body, size + 1, size + 17)),
                  "inflates to " + std::to_string(size) + " bytes, its header says");
    ExpectFailure(LoadBytes(Compressed(body, 40000, 40016)), "1 to 32768 allowed");

    std::vector<std::byte> corrupt = Compressed(body, size, size + 16);
    corrupt[26] = std::byte{0xFF};  // the first deflate byte: an invalid block type
    ExpectFailure(LoadBytes(corrupt), "corrupt deflate data");
    std::vector<std::byte> unsigned_ = Compressed(body, size, size + 16);
    unsigned_[24] = std::byte{'X'};
    ExpectFailure(LoadBytes(unsigned_), "lacks the 'CK' signature");
    std::vector<std::byte> cut = Compressed(body, size, size + 16);
    cut.resize(cut.size() - 4);
    Failure(LoadBytes(cut));
    ExpectFailure(LoadText("xof 0302tzip0032\x10"), "ends before its size field");
}

}  // namespace
}  // namespace gfx
