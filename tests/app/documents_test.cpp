// Opening documents as the editor does: meshes are looked up beside the part file only while
// that file is open.

#include "app/core/documents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/part_file.h"
#include "framework/texture_cache.h"
#include "tests/editing/fake_host.h"
#include "tests/files/files_test_util.h"

namespace app {
namespace {

using namespace files::testing;
namespace fs = std::filesystem;

// Stored where no file is; the mesh itself lies beside the part files.
constexpr const char* kAwayPath = "/no/such/folder/cube.x";

TEST(DocumentsTest, MeshesAreNoLongerFoundBesideAPartFileClosedOrFailedToOpen) {
    ScratchFolder folder;
    fs::copy_file(fs::path(POSEWRIGHTER_TEST_DATA) / "model" / "cube.x", folder / "cube.x");
    auto table = TwoPartTable();
    table->count = 1;
    SetPath(*table, 0, kAwayPath);
    const std::string good = (folder / "good.pwp").string();
    ASSERT_TRUE(files::WritePartFile(good, *table).ok());
    SetPath(*table, 0, "/no/such/folder/gone.x");
    const std::string meshMissing = (folder / "mesh_missing.pwp").string();
    ASSERT_TRUE(files::WritePartFile(meshMissing, *table).ok());
    const std::string unreadable = (folder / "unreadable.pwp").string();
    WriteBytes(unreadable, "short g_meshCount = 1;\r\n");

    framework::TextureCache textures;
    editing::testing::FakeHost host;
    const std::function<void(editing::Model&)> endings[] = {
        [](editing::Model& m) { m.ClearParts(); },
        [&](editing::Model& m) { EXPECT_FALSE(OpenPartFile(m, unreadable)); },
        [&](editing::Model& m) { EXPECT_FALSE(OpenPartFile(m, meshMissing)); },
    };
    for (const auto& end : endings) {
        auto model = std::make_unique<editing::Model>(textures, host);
        ASSERT_TRUE(OpenPartFile(*model, good));
        EXPECT_TRUE(model->scene.mesh[0].IsLoaded());
        end(*model);
        host.messages.clear();
        ASSERT_TRUE(model->AddChildPart(kAwayPath));
        EXPECT_FALSE(model->scene.mesh[0].IsLoaded());
        EXPECT_EQ(host.messages, std::vector{std::string(kReadFailedText) + "\r" + kAwayPath +
                                             "\rcannot open the file: No such file or directory"});
    }
}

}  // namespace
}  // namespace app
