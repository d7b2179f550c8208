// Loading through the mesh cache: a file unchanged on disk is shared without a second read and
// gives what a fresh read gives; a file changed in any way the disk shows is read again.

#include "scene/mesh_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/texture_cache.h"
#include "scene/mesh_object.h"
#include "tests/framework/log_capture.h"
#include "tests/scene/mesh_compare.h"

namespace scene {
namespace {

namespace fs = std::filesystem;

constexpr char kTriangle[] =
    "xof 0302txt 0032\nMesh T {\n3;\n0;0;0;,\n0;1;0;,\n1;0;0;;\n1;\n3;0,1,2;;\n}\n";
// The same length as kTriangle, one corner moved.
constexpr char kMovedTriangle[] =
    "xof 0302txt 0032\nMesh T {\n3;\n0;0;0;,\n0;1;0;,\n4;0;0;;\n1;\n3;0,1,2;;\n}\n";
constexpr char kQuad[] =
    "xof 0302txt 0032\nMesh Q {\n4;\n0;0;0;,\n0;1;0;,\n2;1;0;,\n2;0;0;;\n2;\n3;0,1,2;,\n"
    "3;0,2,3;;\n}\n";
static_assert(sizeof kTriangle == sizeof kMovedTriangle);

class MeshCacheTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("posewrighter_mesh_cache_" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const char* text) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    bool Load(MeshObject& mesh, const std::string& path, MeshCache* meshes) {
        return mesh.LoadFromFile(textures_, path, 0, true, 1, meshes).ok();
    }

    fs::path dir_;
    framework::TextureCache textures_;
    framework::testing_support::LogCapture log_;
};

using scene::testing_support::ExpectSameMesh;

TEST_F(MeshCacheTest, UnchangedFileIsSharedAndMatchesAFreshRead) {
    const std::string path = Write("quad.x", kQuad);
    MeshCache meshes;
    MeshObject first, second, fresh;
    ASSERT_TRUE(Load(first, path, &meshes));
    ASSERT_TRUE(Load(second, path, &meshes));
    ASSERT_TRUE(Load(fresh, path, nullptr));
    EXPECT_EQ(meshes.Size(), 1u);
    // The second load took the first one's outline data rather than reading the file again.
    EXPECT_EQ(second.Outline(), first.Outline());
    EXPECT_EQ(second.d3dMesh, first.d3dMesh);
    EXPECT_NE(fresh.Outline(), first.Outline());
    ExpectSameMesh(second, fresh);
    ASSERT_NE(second.PickTree(), nullptr);
    // The log reads as it does for a read.
    const std::string line = "load(" + path + ") ... ok.\n";
    EXPECT_EQ(log_.Text(), line + line + line);
}

TEST_F(MeshCacheTest, FileChangedOnDiskIsReadAgain) {
    struct Change {
        const char* what;
        const char* text;  // the new contents
        bool keepTime;     // the modification time put back as it was
        bool newFile;      // written beside and renamed over: another inode
    };
    const Change changes[] = {
        {"bytes and time", kMovedTriangle, false, false},
        {"size only", kQuad, true, false},
        {"replaced by another file", kMovedTriangle, true, true},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        const std::string path = Write("part.x", kTriangle);
        const fs::file_time_type written = fs::last_write_time(path);
        MeshCache meshes;
        MeshObject before, after, fresh;
        ASSERT_TRUE(Load(before, path, &meshes));

        if (change.newFile) {
            const std::string beside = Write("beside.x", change.text);
            fs::rename(beside, path);
        } else {
            Write("part.x", change.text);
        }
        fs::last_write_time(path, change.keepTime ? written : written + std::chrono::seconds(10));
        ASSERT_TRUE(Load(after, path, &meshes));
        ASSERT_TRUE(Load(fresh, path, nullptr));
        EXPECT_NE(after.Outline(), before.Outline());
        ExpectSameMesh(after, fresh);
        EXPECT_NE(after.boxMax, before.boxMax);
        EXPECT_EQ(meshes.Size(), 1u);
    }
}

TEST_F(MeshCacheTest, FailedReadsAreNotKeptAndRoundsDropUnusedFiles) {
    const std::string quad = Write("quad.x", kQuad);
    const std::string triangle = Write("triangle.x", kTriangle);
    const std::string broken = Write("broken.x", "xof 0302txt 0032\nMesh B {\n3;\n0;0;");
    MeshCache meshes;
    MeshObject a, b, c;
    meshes.BeginRound();
    ASSERT_TRUE(Load(a, quad, &meshes));
    ASSERT_TRUE(Load(b, triangle, &meshes));
    EXPECT_FALSE(Load(c, broken, &meshes));
    meshes.EndRound();
    EXPECT_EQ(meshes.Size(), 2u);

    // The next round uses the quad only: the triangle is let go, the quad still shared.
    meshes.BeginRound();
    MeshObject again;
    ASSERT_TRUE(Load(again, quad, &meshes));
    meshes.EndRound();
    EXPECT_EQ(meshes.Size(), 1u);
    EXPECT_EQ(again.Outline(), a.Outline());
    EXPECT_FALSE(StampOf((dir_ / "missing.x").string()));
    EXPECT_FALSE(StampOf(dir_.string()));  // a folder is no mesh file
}

}  // namespace
}  // namespace scene
