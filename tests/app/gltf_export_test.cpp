// The glTF export read back with tinygltf as an engine would: node worlds at every frame of the
// loop against the editor's playback, meshes and textures against what the editor loaded.

#include <gtest/gtest.h>
#include <tiny_gltf.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/documents.h"
#include "app/core/session.h"
#include "app/export/gltf_mesh.h"
#include "app/export/gltf_write.h"
#include "app/steps/playback.h"
#include "framework/texture_cache.h"
#include "gfx/math/math.h"

namespace {

namespace fs = std::filesystem;
using Mat = std::array<std::array<double, 4>, 4>;  // column-vector convention, [row][column]

const std::string kData = POSEWRIGHTER_TEST_DATA;
const std::string kRobot = std::string(POSEWRIGHTER_TEST_DATA) + "/../../samples/robot/";

Mat Multiply(const Mat& a, const Mat& b) {
    Mat c{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) c[i][j] += a[i][k] * b[k][j];
    return c;
}

// T * R * S as the glTF reference composes a node, q = (x, y, z, w).
Mat NodeMatrix(const std::array<double, 3>& t, const std::array<double, 4>& q, double s) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    return {
        {{(1 - 2 * (y * y + z * z)) * s, 2 * (x * y - z * w) * s, 2 * (x * z + y * w) * s, t[0]},
         {2 * (x * y + z * w) * s, (1 - 2 * (x * x + z * z)) * s, 2 * (y * z - x * w) * s, t[1]},
         {2 * (x * z - y * w) * s, 2 * (y * z + x * w) * s, (1 - 2 * (x * x + y * y)) * s, t[2]},
         {0, 0, 0, 1}}};
}

// The editor's world (row vectors, left-handed) in glTF's terms: S W S, transposed.
Mat EditorWorldInGltf(const gfx::Matrix& w) {
    const double mirror[4] = {1, 1, -1, 1};
    Mat m{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m[j][i] = mirror[i] * w.m[i][j] * mirror[j];
    return m;
}

template <typename T>
std::vector<T> Read(const tinygltf::Model& gltf, int accessorIndex) {
    const tinygltf::Accessor& accessor = gltf.accessors.at(accessorIndex);
    const tinygltf::BufferView& view = gltf.bufferViews.at(accessor.bufferView);
    const auto& data = gltf.buffers.at(view.buffer).data;
    std::vector<T> values(accessor.count);
    const std::size_t offset = view.byteOffset + accessor.byteOffset;
    EXPECT_LE(offset + values.size() * sizeof(T), data.size());
    if (offset + values.size() * sizeof(T) <= data.size()) {
        std::memcpy(values.data(), data.data() + offset, values.size() * sizeof(T));
    }
    return values;
}

// A reader's LINEAR sampling: lerp, and a slerp that goes the way the samples lie (no
// short-path correction of its own).
struct Channels {
    std::vector<float> times;
    std::vector<std::array<float, 3>> translation;
    std::vector<std::array<float, 4>> rotation;
};

std::array<double, 4> Slerp(const std::array<float, 4>& a, const std::array<float, 4>& b,
                            double u) {
    double dot = 0;
    for (int k = 0; k < 4; ++k) dot += double{a[k]} * b[k];
    dot = std::clamp(dot, -1.0, 1.0);
    const double angle = std::acos(dot);
    double ka = 1 - u, kb = u;
    if (std::sin(angle) > 1e-6) {
        ka = std::sin((1 - u) * angle) / std::sin(angle);
        kb = std::sin(u * angle) / std::sin(angle);
    }
    std::array<double, 4> q{};
    for (int k = 0; k < 4; ++k) q[k] = ka * a[k] + kb * b[k];
    return q;
}

Mat SampleNode(const tinygltf::Node& node, const Channels* channels, double time) {
    std::array<double, 3> t{0, 0, 0};
    std::array<double, 4> q{0, 0, 0, 1};
    for (std::size_t k = 0; k < node.translation.size(); ++k) t[k] = node.translation[k];
    for (std::size_t k = 0; k < node.rotation.size(); ++k) q[k] = node.rotation[k];
    if (channels != nullptr) {
        const auto& times = channels->times;
        std::size_t i = 0;
        while (i + 2 < times.size() && times[i + 1] <= time) ++i;
        const double u = std::clamp((time - times[i]) / (times[i + 1] - times[i]), 0.0, 1.0);
        for (int k = 0; k < 3; ++k) {
            t[k] = (1 - u) * channels->translation[i][k] + u * channels->translation[i + 1][k];
        }
        q = Slerp(channels->rotation[i], channels->rotation[i + 1], u);
    }
    return NodeMatrix(t, q, node.scale.empty() ? 1.0 : node.scale[0]);
}

// The material of the source face with these corners, in this order; -1 when there is none.
std::uint32_t MaterialOfFace(const gfx::Mesh& mesh, std::uint16_t a, std::uint16_t b,
                             std::uint16_t c) {
    const auto indices = mesh.Indices();
    for (std::size_t f = 0; f < mesh.NumFaces(); ++f) {
        if (indices[f * 3] == a && indices[f * 3 + 1] == b && indices[f * 3 + 2] == c) {
            return mesh.Attributes()[f];
        }
    }
    return static_cast<std::uint32_t>(-1);
}

struct Case {
    const char* name;
    std::string model, animation;
    std::function<void(model::AnimationSet&)> edit;  // applied after opening, when set
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class GltfExportTest : public testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("gltf_export_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        const Case& c = GetParam();
        ASSERT_TRUE(app::OpenPartFile(session_->model, c.model));
        if (!c.animation.empty()) {
            ASSERT_TRUE(app::OpenAnimationFile(session_->model, c.animation));
        }
        if (c.edit) c.edit(session_->model.animation);
        const std::string path = (dir_ / "out.glb").string();
        const gfx::Status written = app::ExportGltf(session_->model, path);
        ASSERT_TRUE(written.ok()) << written.error();
        std::string error, warning;
        tinygltf::TinyGLTF reader;
        ASSERT_TRUE(reader.LoadBinaryFromFile(&gltf_, &error, &warning, path)) << error;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Every node's world at `time` against the editor's parts as they stand.
    void ExpectWorldsMatch(double time, const std::vector<Channels>& channels, int frame) {
        const model::PartTable& parts = session_->model.parts;
        const editing::PartScene& partScene = session_->model.scene;
        ASSERT_EQ(gltf_.nodes.size(), static_cast<std::size_t>(parts.count));
        std::vector<Mat> world(parts.count);
        for (int i = 0; i < parts.count; ++i) {
            const Mat local =
                SampleNode(gltf_.nodes[i], channels.empty() ? nullptr : &channels[i], time);
            world[i] = i == 0 ? local : Multiply(world[parts.parent[i]], local);
            const Mat expected = EditorWorldInGltf(partScene.node[i].WorldMatrix());
            for (int r = 0; r < 4; ++r) {
                for (int c = 0; c < 4; ++c) {
                    ASSERT_NEAR(world[i][r][c], expected[r][c], 2e-4)
                        << "frame " << frame << " part " << i << " [" << r << "][" << c << "]";
                }
            }
        }
    }

    std::unique_ptr<app::Session> session_ = std::make_unique<app::Session>();
    tinygltf::Model gltf_;
    fs::path dir_;
};

TEST_P(GltfExportTest, NodeWorldsFollowTheEditorsPlaybackLoopFrameByFrame) {
    // The nodes themselves hold the pose the editor shows right after opening.
    ExpectWorldsMatch(0.0, {}, -1);
    if (session_->model.animation.frameCount[0] <= 0) {
        EXPECT_TRUE(gltf_.animations.empty());
        return;
    }
    ASSERT_EQ(gltf_.animations.size(), 1u);
    const tinygltf::Animation& animation = gltf_.animations[0];
    std::vector<Channels> channels(gltf_.nodes.size());
    for (const tinygltf::AnimationChannel& channel : animation.channels) {
        const tinygltf::AnimationSampler& sampler = animation.samplers.at(channel.sampler);
        ASSERT_EQ(sampler.interpolation, "LINEAR");
        Channels& node = channels.at(channel.target_node);
        node.times = Read<float>(gltf_, sampler.input);
        if (channel.target_path == "translation") {
            node.translation = Read<std::array<float, 3>>(gltf_, sampler.output);
        } else {
            ASSERT_EQ(channel.target_path, "rotation");
            node.rotation = Read<std::array<float, 4>>(gltf_, sampler.output);
        }
    }
    for (const Channels& node : channels) {
        ASSERT_FALSE(node.translation.empty());
        ASSERT_FALSE(node.rotation.empty());
    }

    // The first loop starts from the default pose; the steady loop from the second start of key 1.
    app::Session& session = *session_;
    session.panels.playTicked = true;
    int starts = 0;
    for (int guard = 0; starts < 2 && guard < 1'000'000; ++guard) {
        app::PlayAnimation(session);
        if (session.editor.PlayKey == 0 && session.editor.PlayTick == 0) ++starts;
    }
    ASSERT_EQ(starts, 2);
    const int loopFrames = static_cast<int>(std::lround(channels[0].times.back() * 30.0));
    for (int frame = 0; frame <= loopFrames; ++frame) {
        ExpectWorldsMatch(frame / 30.0, channels, frame);
        if (HasFatalFailure()) return;
        app::PlayAnimation(session);
    }
}

TEST_P(GltfExportTest, MeshesAndTexturesAreTheLoadedOnesMirroredWithFrontFacesCounterClockwise) {
    const model::PartTable& parts = session_->model.parts;
    const editing::PartScene& partScene = session_->model.scene;
    for (int i = 0; i < parts.count; ++i) {
        const scene::MeshObject& mesh = partScene.mesh[i];
        ASSERT_EQ(gltf_.nodes[i].name, parts.Name(i));
        ASSERT_GE(gltf_.nodes[i].mesh, 0) << parts.Name(i);
        const gfx::Mesh& source = *mesh.d3dMesh;
        for (const tinygltf::Primitive& primitive : gltf_.meshes[gltf_.nodes[i].mesh].primitives) {
            const auto positions = Read<gfx::Vec3>(gltf_, primitive.attributes.at("POSITION"));
            const auto normals = Read<gfx::Vec3>(gltf_, primitive.attributes.at("NORMAL"));
            ASSERT_EQ(positions.size(), source.NumVertices());
            for (std::uint32_t v = 0; v < source.NumVertices(); ++v) {
                const gfx::Vec3 p = source.Position(v);
                const gfx::Vec3 n = gfx::Vec3Normalize(source.Normal(v));
                ASSERT_EQ(positions[v], (gfx::Vec3{p.x, p.y, -p.z}));
                ASSERT_NEAR(normals[v].x, n.x, 1e-6f);
                ASSERT_NEAR(normals[v].y, n.y, 1e-6f);
                ASSERT_NEAR(normals[v].z, -n.z, 1e-6f);
            }
            // Counter-clockwise corners give a face normal on the side the vertex normals point.
            const auto indices = Read<std::uint16_t>(gltf_, primitive.indices);
            for (std::size_t f = 0; f + 2 < indices.size(); f += 3) {
                const gfx::Vec3 a = positions[indices[f]], b = positions[indices[f + 1]],
                                c = positions[indices[f + 2]];
                const gfx::Vec3 outward =
                    normals[indices[f]] + normals[indices[f + 1]] + normals[indices[f + 2]];
                ASSERT_GT(gfx::Vec3Dot(gfx::Vec3Cross(b - a, c - a), outward), 0.0f)
                    << parts.Name(i) << " face " << f / 3;
            }
            // The primitive holds the faces of one material, each in reverse corner order; a
            // textured material carries the editor's texels.
            const std::uint32_t m = MaterialOfFace(source, indices[0], indices[2], indices[1]);
            for (std::size_t f = 0; f + 2 < indices.size(); f += 3) {
                ASSERT_EQ(MaterialOfFace(source, indices[f], indices[f + 2], indices[f + 1]), m);
            }
            const tinygltf::Material& material = gltf_.materials.at(primitive.material);
            const int texture = material.pbrMetallicRoughness.baseColorTexture.index;
            ASSERT_EQ(texture >= 0, mesh.textures.at(m) != nullptr) << parts.Name(i);
            if (texture < 0) continue;
            const tinygltf::Image& image = gltf_.images.at(gltf_.textures.at(texture).source);
            const gfx::Image& texels = mesh.textures[m]->image.levels[0];
            ASSERT_EQ(image.width, static_cast<int>(texels.width));
            ASSERT_EQ(image.height, static_cast<int>(texels.height));
            ASSERT_EQ(image.component, 4);
            for (std::size_t k = 0; k < texels.texels.size(); ++k) {
                const std::uint32_t argb = texels.texels[k];
                const std::uint32_t rgba = std::uint32_t{image.image[k * 4]} << 16 |
                                           std::uint32_t{image.image[k * 4 + 1]} << 8 |
                                           image.image[k * 4 + 2] |
                                           std::uint32_t{image.image[k * 4 + 3]} << 24;
                ASSERT_EQ(rgba, argb) << parts.Name(i) << " texel " << k;
            }
        }
    }
}

// All sixteen keys in use: the loop wraps after key 16, keys 5 to 16 repeat keys 1 to 4.
void SixteenKeys(model::AnimationSet& animation) {
    for (int k = 0; k < model::kMaxKeys; ++k) {
        animation.frameCount[k] = static_cast<std::int16_t>(1 + k % 3);
        animation.keyOrientation[k] = animation.keyOrientation[k % 4];
        animation.keyPosition[k] = animation.keyPosition[k % 4];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Models, GltfExportTest,
    testing::Values(Case{"Robot", kRobot + "robot.pwp", kRobot + "robot.pwa", {}},
                    Case{"HemisphereFlipsAndANegativeCount",
                         kData + "/gltf/hinge.pwp",
                         kData + "/gltf/hinge.pwa",
                         {}},
                    Case{"SixteenKeys", kData + "/gltf/hinge.pwp", kData + "/gltf/hinge.pwa",
                         SixteenKeys},
                    Case{"GalleryWithoutAnimation", kData + "/windows/Gallery.pwp", "", {}},
                    Case{"ScaledWithoutAnimation", kData + "/windows/Scaled.pwp", "", {}}),
    [](const testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

// Part names are bytes; glTF's JSON holds UTF-8 only. Names from Windows tools are Shift-JIS:
// they are decoded, not replaced.
TEST(GltfNames, NodeNamesAreReadableText) {
    const std::string r = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"arm.x", "arm.x"},
        {"\xE8\x85\x95.x", "\xE8\x85\x95.x"},                  // UTF-8 as it is
        {"\x98\x72.x", "\xE8\x85\x95.x"},                      // Shift-JIS 腕
        {"\x93\xaa\x83\x70\x81\x5b\x83\x63.x", "頭パーツ.x"},  // Shift-JIS 頭パーツ
        {"\x98\xff", r + r},                                   // neither
    };
    auto session = std::make_unique<app::Session>();
    model::PartTable& parts = session->model.parts;
    parts.count = static_cast<std::int16_t>(std::size(cases));
    for (int i = 0; i < parts.count; ++i) {
        ASSERT_TRUE(model::PartTable::SetField(parts.name[i], cases[i].first));
        parts.parent[i] = static_cast<model::PartIndex>(i - 1);
        parts.level[i] = static_cast<std::int16_t>(i);
    }
    const auto asset = app::BuildGltfAsset(session->model, app::GltfImages::kInBuffer, "");
    ASSERT_TRUE(asset.ok()) << asset.error();
    ASSERT_EQ(asset->gltf.nodes.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(asset->gltf.nodes[i].name, cases[i].second) << i;
    }
}

}  // namespace
