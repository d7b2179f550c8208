// What the .x reader accepts: the separators, numbers and comments exporters write, header
// variants, case rules of names, references, and binary token streams grouped in any way.

#include <gtest/gtest.h>

#include "tests/gfx/xfile_test_util.h"

namespace gfx {
namespace {

using namespace xtest;

// A unit right triangle at z as Mesh text, for cases about the surrounding syntax.
std::string Triangle(const std::string& name, float z) {
    const std::string zs = std::to_string(z);
    return "Mesh " + name + " { 3; 0;0;" + zs + ";, 1;0;" + zs + ";, 0;1;" + zs +
           ";; 1; 3;0,1,2;; }\n";
}

TEST(XFileSyntax, NumbersTakeAnySeparatorsAndExponents) {
    // Separators doubled, missing, or whitespace only; exponents in both cases; a leading '+'.
    const auto loaded = LoadText(
        "xof 0302txt 0032\n"
        "Mesh {\n"
        "  4;;\n"
        "  0.0 0.0 0.0,\n"
        "  2.00E-01;0;0;;,,\n"
        "  +1.5e+1, -.5; 1e0\n"
        "  3 4 5\n"
        "  2\n"
        "  3 0 1 2\n"
        "  3;;0;;1;;3;;;\n"
        "}\n");
    const LoadedMesh& x = Ok(loaded);
    ExpectPositions(x.mesh, {{0, 0, 0}, {0.2f, 0, 0}, {15, -0.5f, 1}, {3, 4, 5}});
    ExpectIndices(x.mesh, {0, 1, 2, 0, 1, 3});
}

TEST(XFileSyntax, CommentsRunToTheEndOfTheLineWhateverTheyHold) {
    const auto loaded = LoadText(
        "xof 0302txt 0032 // header comment\n"
        "# a comment with { a brace and a \"quote\n"
        "Mesh Commented { // } not the end\n"
        "  3; # three vertices\n"
        "  0;0;0;, 1;0;0;, // the second\n"
        "  0;1;0;;\n"
        "  1; 3;0,1,2;;#no space\n"
        "  Unknown { 1; # } still inside\n"
        "  }\n"
        "}\n");
    const LoadedMesh& x = Ok(loaded);
    ExpectPositions(x.mesh, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
}

TEST(XFileSyntax, HeaderVersionsAndFloatSizesAreAccepted) {
    for (const char* header : {"xof 0302txt 0032", "xof 0303txt 0032", "xof 0201txt 0064"}) {
        SCOPED_TRACE(header);
        Ok(LoadText(std::string(header) + "\n" + Triangle("T", 0)));
    }
}

TEST(XFileSyntax, TemplateNamesIgnoreCaseAndTemplatesAreSkipped) {
    const auto loaded = LoadText(
        "xof 0302txt 0032\n"
        "TEMPLATE Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; [...] }\n"
        "template Custom { <11111111-2222-3333-4444-555555555555> array FLOAT v[3]; }\n"
        "FRAME f {\n"
        "  frametransformmatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,7,1;; }\n"
        "  mesh m { <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n"
        "    3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
        "    MESHNORMALS { 1; 0;0;1;; 1; 3;0,0,0;; }\n"
        "    meshmateriallist { 1; 1; 0;;\n"
        "      material { 1;1;1;1;; 2; 0;0;0;; 0;0;0;; texturefilename { \"a.png\"; } }\n"
        "    }\n"
        "  }\n"
        "}\n");
    const LoadedMesh& x = Ok(loaded);
    EXPECT_EQ(x.mesh.Fvf(), kFvfXyz | kFvfNormal);
    ExpectPositions(x.mesh, {{0, 0, 7}, {1, 0, 7}, {0, 1, 7}});
    ExpectNormals(x.mesh, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}});
    ASSERT_EQ(x.materials.size(), 1u);
    EXPECT_EQ(x.materials[0].textureFilename, "a.png");
}

TEST(XFileSyntax, ReferencesResolveToTheFirstEarlierObjectCaseSensitively) {
    const std::string body = Triangle("Dup", 1) + Triangle("Dup", 2) + Triangle("dup", 3);
    // {Dup} loads the first Dup again (z = 1), not the second or the differently cased one.
    const auto loaded = LoadText("xof 0302txt 0032\n" + body + "Frame F { {Dup} }\n");
    const LoadedMesh& x = Ok(loaded);
    ASSERT_EQ(x.mesh.NumVertices(), 12u);
    for (std::uint32_t v = 9; v < 12; ++v) EXPECT_EQ(x.mesh.Position(v).z, 1.0f);

    // Names may be bare numbers.
    const auto numbered =
        LoadText("xof 0302txt 0032\nFrame 001 {\n" + Triangle("7", 4) + "}\nFrame 002 { {7} }\n");
    ASSERT_EQ(Ok(numbered).mesh.NumVertices(), 6u);
    EXPECT_EQ(Ok(numbered).mesh.Position(5).z, 4.0f);

    const std::string error =
        Failure(LoadText("xof 0302txt 0032\n" + Triangle("Box", 0) + "Frame F { { BOX } }\n"));
    EXPECT_NE(error.find("references 'BOX'"), std::string::npos) << error;
}

TEST(XFileSyntax, StrayClosingBracesAfterTheObjectsAreTolerated) {
    Ok(LoadText("xof 0302txt 0032\n" + Triangle("T", 0) + "}\n}\n"));
}

TEST(XFileSyntax, AMaterialListWithoutMaterialsGivesTheDefaultMaterial) {
    const auto loaded = LoadText(
        "xof 0302txt 0032\n"
        "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 0; 1; 0;; } }\n");
    EXPECT_EQ(Ok(loaded).materials, std::vector<ExtendedMaterial>{DefaultMaterial()});
}

TEST(XFileSyntax, MeshesWithoutFacesStillOffsetTheNextMesh) {
    const auto loaded = LoadText(
        "xof 0302txt 0032\n"
        "Mesh Points { 2; 5;5;5;, 6;6;6;; 0; }\n" +
        Triangle("T", 0));
    const LoadedMesh& x = Ok(loaded);
    ExpectIndices(x.mesh, {2, 3, 4});
    // Both meshes contribute a material, so the triangle's id is 1.
    ExpectAttributes(x.mesh, {1});
}

// The binary tokens of a unit right triangle mesh; `vertexLists` chooses how the nine position
// floats are split into float lists.
BinaryX& TriangleTokens(BinaryX& b, const std::vector<std::size_t>& vertexLists) {
    const std::vector<float> positions{0, 0, 0, 1, 0, 0, 0, 1, 0};
    b.Name("Mesh").Open().Integer(3);
    std::size_t at = 0;
    for (std::size_t count : vertexLists) {
        b.Floats(std::vector<float>(positions.begin() + at, positions.begin() + at + count));
        at += count;
    }
    return b.Ints({1, 3, 0}).Ints({1, 2});
}

TEST(XFileSyntax, BinaryNumbersMayBeGroupedInAnyLists) {
    for (const auto& split : std::vector<std::vector<std::size_t>>{{9}, {1, 8}, {4, 4, 1}}) {
        BinaryX b;
        TriangleTokens(b, split).Close();
        const auto loaded = LoadBytes(b.bytes());
        ExpectPositions(Ok(loaded).mesh, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
        ExpectIndices(Ok(loaded).mesh, {0, 1, 2});
    }
}

TEST(XFileSyntax, BinaryStringsEndWithAWordOrADwordSeparator) {
    for (int terminatorBytes : {2, 4}) {
        BinaryX b;
        TriangleTokens(b, {9}).Name("MeshMaterialList").Open().Ints({1, 1, 0});
        b.Name("Material").Open().Floats({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0});
        b.Name("TextureFilename").Open().String("skin.bmp").Raw(20, terminatorBytes).Close();
        b.Close().Close().Close();
        const auto loaded = LoadBytes(b.bytes());
        ASSERT_EQ(Ok(loaded).materials.size(), 1u);
        EXPECT_EQ(Ok(loaded).materials[0].textureFilename, "skin.bmp");
    }
}

TEST(XFileSyntax, BinaryUnknownObjectsAreSkippedWithEveryRecordKind) {
    BinaryX b;
    b.Token(31).Name("Odd").Open().Token(5).Raw(0, 16).Token(41).Name("n").Token(20);
    b.Token(52).Token(42).Name("v").Token(14).Name("n").Token(15).Token(20).Close();
    b.Name("Odd").Name("thing").Open().Token(5).Raw(0, 16).Ints({1, 2}).Floats({3});
    b.String("}{").Token(19).Integer(9).Open().Name("ref").Close();
    b.Name("Inner").Open().Floats({1, 2}).Close().Close();
    TriangleTokens(b, {9}).Close().Close();  // the last one is an extra closing brace
    const auto loaded = LoadBytes(b.bytes());
    ExpectPositions(Ok(loaded).mesh, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
}

}  // namespace
}  // namespace gfx
