// Opening prepares the parts' files side by side on worker threads: what each part ends up
// with, the notice for the first file that fails and the debug log are what loading the files
// one after another gives.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "editing/model.h"
#include "framework/texture_cache.h"
#include "scene/mesh_cache.h"
#include "scene/mesh_object.h"
#include "tests/editing/fake_host.h"
#include "tests/framework/log_capture.h"
#include "tests/scene/mesh_compare.h"

namespace editing {
namespace {

namespace fs = std::filesystem;
using framework::testing_support::LogCapture;

constexpr char kQuad[] =
    "xof 0302txt 0032\nMesh Q {\n4;\n0;0;0;,\n0;1;0;,\n2;1;0;,\n2;0;0;;\n2;\n3;0,1,2;,\n"
    "3;0,2,3;;\n}\n";
constexpr char kTriangle[] =
    "xof 0302txt 0032\nMesh T {\n3;\n0;0;0;,\n0;1;0;,\n1;0;0;;\n1;\n3;0,1,2;;\n}\n";

using scene::testing_support::ExpectSameMesh;

TEST(ThreadedOpen, PartsLoadAsOneByOneWithARepeatedAndABrokenFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("threaded_open_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string data = std::string(POSEWRIGHTER_TEST_DATA) + "/model/";
    fs::copy_file(data + "cube.x", dir / "cube.x", fs::copy_options::overwrite_existing);
    fs::copy_file(data + "broken.x", dir / "broken.x", fs::copy_options::overwrite_existing);
    std::ofstream(dir / "quad.x", std::ios::binary) << kQuad;
    std::ofstream(dir / "triangle.x", std::ios::binary) << kTriangle;
    // The cube twice; the broken file stops the loading, so the triangle after it stays empty.
    const std::vector<std::string> paths = {(dir / "cube.x").string(), (dir / "quad.x").string(),
                                            (dir / "cube.x").string(), (dir / "broken.x").string(),
                                            (dir / "triangle.x").string()};
    constexpr std::size_t kFirstFailing = 3;

    framework::TextureCache textures;
    // One file after another through the same load, stopping at the first failure.
    std::array<scene::MeshObject, 5> single;
    std::string singleLog, singleError;
    {
        LogCapture log;
        scene::MeshCache cache;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const gfx::Status read = single[i].LoadFromFile(textures, paths[i], 0, true, 1, &cache);
            if (!read) {
                singleError = read.error();
                break;
            }
        }
        singleLog = log.Text();
    }
    ASSERT_FALSE(singleError.empty());

    testing::FakeHost host;
    auto model = std::make_unique<Model>(textures, host);
    model->parts.count = static_cast<std::int16_t>(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        model::PartTable::SetField(model->parts.path[i], paths[i]);
        model->parts.parent[i] = static_cast<model::PartIndex>(i == 0 ? -1 : 0);
    }
    LogCapture log;
    EXPECT_FALSE(model->LoadAllMeshes());
    EXPECT_EQ(log.Text(), singleLog);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              std::string(kReadFailedMessage) + "\r" + paths[kFirstFailing] + "\r" + singleError);
    for (std::size_t i = 0; i < kFirstFailing; ++i) {
        SCOPED_TRACE(paths[i]);
        ExpectSameMesh(model->scene.mesh[i], single[i]);
    }
    // The file named twice was prepared once: both parts share its mesh.
    EXPECT_EQ(model->scene.mesh[0].d3dMesh, model->scene.mesh[2].d3dMesh);
    for (std::size_t i = kFirstFailing; i < paths.size(); ++i) {
        EXPECT_FALSE(model->scene.mesh[i].IsLoaded()) << paths[i];
    }
    model.reset();
    fs::remove_all(dir);
}

}  // namespace
}  // namespace editing
