#include "app/core/material_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using gfx::ColourValue;
using Row = app::MaterialRow;

constexpr ColourValue kBlue{0.5f, 0.25f, 1.0f, 1.0f};  // rows show 0.500 0.250 1.000
constexpr ColourValue kGrey{0.2f, 0.2f, 0.2f, 1.0f};
constexpr ColourValue kNearlyBlue{0.5004f, 0.25f, 1.0f, 1.0f};
constexpr ColourValue kHalfClearBlue{0.5f, 0.25f, 1.0f, 0.5f};
constexpr ColourValue kGlow{0.2f, 0.1f, 0.0f, 1.0f};

class MaterialListTest : public ::testing::Test {
  protected:
    void SetUp() override { Load(); }
    void TearDown() override { std::filesystem::remove(path_); }

    // Three meshes as loaded: the same colour in meshes 0 and 1, and in mesh 2 two colours that
    // print like it without being it.
    void Load() {
        Give(meshes_[0], {kBlue, kGrey});
        Give(meshes_[1], {kBlue});
        Give(meshes_[2], {kNearlyBlue, kHalfClearBlue});
    }
    static void Give(scene::MeshObject& mesh, const std::vector<ColourValue>& diffuse) {
        ASSERT_TRUE(mesh.CreateBox(1, 1, 1, {}));
        mesh.materials.clear();
        for (const ColourValue& colour : diffuse) {
            mesh.materials.push_back({colour, {}, {}, kGlow, 0});
        }
        mesh.materialCount = static_cast<std::uint32_t>(diffuse.size());
        mesh.textures.assign(diffuse.size(), nullptr);
    }
    ColourValue Diffuse(int mesh, int material) const {
        return meshes_[mesh].materials[material].diffuse;
    }
    void Rebuild() { app::RebuildMaterialList(list_, meshes_, settings_); }
    void SelectBlueAndSetRed(int position) {
        Rebuild();
        app::SelectMaterialRow(list_, 1);
        app::EndMaterialSliderChange(list_, meshes_, 0, position);
    }

    const std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                        ("posewrighter_material_" + std::to_string(::getpid()));
    files::SettingsFile settings_{path_};
    scene::MeshObject meshes_[3];
    app::MaterialList list_;
};

TEST_F(MaterialListTest, RowsGroupByPrintedColourAndOnlyExactColoursJoin) {
    Rebuild();
    // Both rows of mesh 0 go in at position 0: the second lands first.
    EXPECT_EQ(list_.rows,
              (std::vector<Row>{{"0.200", "0.200", "0.200", "0.998", "0.200", "0.200", "0.200"},
                                {"0.500", "0.250", "1.000", "0.999", "0.500", "0.250", "1.000"}}));
    EXPECT_EQ(Diffuse(0, 0).a, 0.999f);
    EXPECT_EQ(Diffuse(1, 0).a, 0.999f);
    EXPECT_EQ(Diffuse(0, 1).a, 0.998f);

    app::SelectMaterialRow(list_, 1);
    EXPECT_EQ(list_.sliders, (std::array<int, 3>{500, 250, 1000}));
    EXPECT_EQ(list_.labels, (std::array<std::string, 3>{"0.500", "0.250", "1.000"}));
    app::EndMaterialSliderChange(list_, meshes_, 0, 900);
    EXPECT_EQ(list_.rows[1][app::kSetRed], "0.900");
    EXPECT_EQ(Diffuse(0, 0), (ColourValue{0.9f, 0.25f, 1.0f, 0.999f}));
    EXPECT_EQ(Diffuse(1, 0), Diffuse(0, 0));
    EXPECT_EQ(Diffuse(2, 0), kNearlyBlue);
    EXPECT_EQ(Diffuse(2, 1), kHalfClearBlue);
    EXPECT_EQ(Diffuse(0, 1), (ColourValue{0.2f, 0.2f, 0.2f, 0.998f}));
}

TEST_F(MaterialListTest, AReplacementComesBackThroughTheSettingsFile) {
    SelectBlueAndSetRed(900);
    ASSERT_TRUE(app::SaveMaterialSettings(list_, settings_));
    EXPECT_EQ(settings_.Read(app::kMaterialSection, "0.5000.2501.000", "NOP"), "0.9000.2501.000");

    Load();
    list_ = {};
    Rebuild();
    EXPECT_EQ(list_.rows[1], (Row{"0.500", "0.250", "1.000", "0.999", "0.900", "0.250", "1.000"}));
    EXPECT_EQ(Diffuse(1, 0), (ColourValue{0.9f, 0.25f, 1.0f, 0.999f}));
}

TEST_F(MaterialListTest, ResetShowsBaseColoursAndTheStepsApplyAgainAtTheirEnds) {
    SelectBlueAndSetRed(1000);
    app::ResetMaterialColours(list_, meshes_);
    EXPECT_EQ(Diffuse(0, 0), (ColourValue{0.5f, 0.25f, 1.0f, 0.999f}));
    EXPECT_EQ(list_.rows[1][app::kSetRed], "1.000");

    app::StepMaterialSlider(list_, meshes_, 0, 1);  // already at 1000
    EXPECT_EQ(list_.sliders[0], 1000);
    EXPECT_EQ(Diffuse(0, 0), (ColourValue{1.0f, 0.25f, 1.0f, 0.999f}));

    app::EndMaterialSliderChange(list_, meshes_, 1, 0);
    app::ResetMaterialColours(list_, meshes_);
    app::StepMaterialSlider(list_, meshes_, 1, -1);  // already at 0
    EXPECT_EQ(list_.sliders[1], 0);
    EXPECT_EQ(Diffuse(1, 0), (ColourValue{1.0f, 0.0f, 1.0f, 0.999f}));
}

TEST_F(MaterialListTest, BlackKeepsTheEmissiveColourAndNoSelectionAppliesNothing) {
    Rebuild();
    app::StepMaterialSlider(list_, meshes_, 0, 1);
    EXPECT_EQ(Diffuse(0, 0).r, 0.5f);
    app::SelectMaterialRow(list_, 1);
    const ColourValue emissive = meshes_[0].materials[0].emissive;
    list_.sliders = {0, 0, 0};
    app::ApplyMaterialSliders(list_, meshes_, true);
    EXPECT_EQ(Diffuse(0, 0), (ColourValue{0.0f, 0.0f, 0.0f, 0.999f}));
    EXPECT_EQ(meshes_[0].materials[0].emissive, emissive);
}

TEST_F(MaterialListTest, IdenticalMaterialsOfOneMeshStayInTheirRowUnderAStoredReplacement) {
    ASSERT_TRUE(settings_.Write(app::kMaterialSection, "0.5000.2501.000", "0.1000.2000.300"));
    Give(meshes_[0], {kBlue, kBlue});
    Rebuild();
    EXPECT_EQ(list_.rows.size(), 1u);  // not a second row keyed by the replacement
    EXPECT_EQ(Diffuse(0, 1), (ColourValue{0.1f, 0.2f, 0.3f, 0.999f}));
    EXPECT_EQ(Diffuse(1, 0), Diffuse(0, 1));
}

TEST_F(MaterialListTest, MaterialsJoiningARowUnderAStoredReplacementMakeNoRowOfTheirOwn) {
    // The row of blue is made by mesh 0 and joined by mesh 1, whose two blue materials are both
    // recoloured at the join; neither may then be grouped again by its new colour.
    ASSERT_TRUE(settings_.Write(app::kMaterialSection, "0.5000.2501.000", "0.1000.2000.300"));
    Give(meshes_[1], {kBlue, kBlue, kGrey, kBlue});
    Rebuild();
    EXPECT_EQ(list_.rows,
              (std::vector<Row>{{"0.200", "0.200", "0.200", "0.998", "0.200", "0.200", "0.200"},
                                {"0.500", "0.250", "1.000", "0.999", "0.100", "0.200", "0.300"}}));
    const ColourValue replaced{0.1f, 0.2f, 0.3f, 0.999f};
    EXPECT_EQ(Diffuse(0, 0), replaced);
    for (int material : {0, 1, 3}) EXPECT_EQ(Diffuse(1, material), replaced) << material;
    EXPECT_EQ(Diffuse(1, 2), (ColourValue{0.2f, 0.2f, 0.2f, 0.998f}));

    // A track bar moves them all with the row, and nothing keyed by the replacement is stored.
    app::SelectMaterialRow(list_, 1);
    app::EndMaterialSliderChange(list_, meshes_, 0, 700);
    for (int material : {0, 1, 3}) {
        EXPECT_EQ(Diffuse(1, material), (ColourValue{0.7f, 0.2f, 0.3f, 0.999f})) << material;
    }
    // As after a structural edit: the meshes are loaded again, the list is stored and made anew.
    Load();
    Give(meshes_[1], {kBlue, kBlue, kGrey, kBlue});
    Rebuild();
    EXPECT_EQ(list_.rows.size(), 2u);
    for (int material : {0, 1, 3}) {
        EXPECT_EQ(Diffuse(1, material), (ColourValue{0.7f, 0.2f, 0.3f, 0.999f})) << material;
    }
    EXPECT_EQ(settings_.Read(app::kMaterialSection, "0.5000.2501.000", "NOP"), "0.7000.2000.300");
    for (const char* spurious : {"0.1000.2000.300", "0.7000.2000.300"}) {
        EXPECT_EQ(settings_.Read(app::kMaterialSection, spurious, "NOP"), "NOP") << spurious;
    }
}

TEST_F(MaterialListTest, OnlyThreeFieldsWithinZeroToOneAreStoredOrRead) {
    Give(meshes_[0], {{2.0f, -0.5f, 1.0f, 1.0f}});
    Give(meshes_[1], {kBlue});
    Give(meshes_[2], {kGrey});
    for (const char* stored : {"abc", "0.1000.2000.3000", "1.5000.2000.300"}) {
        ASSERT_TRUE(settings_.Write(app::kMaterialSection, "0.2000.2000.200", stored));
        list_ = {};
        Rebuild();
        EXPECT_EQ(list_.rows[2][app::kSetRed], "0.200") << stored;
    }
    // The base colour beyond 0 .. 1 keeps its text as the key; unchanged, nothing is stored.
    EXPECT_EQ(list_.rows[0][app::kSetGreen], "-0.500");
    ASSERT_TRUE(app::SaveMaterialSettings(list_, settings_));
    EXPECT_EQ(settings_.Read(app::kMaterialSection, "2.000-0.5001.000", "NOP"), "NOP");
    app::SelectMaterialRow(list_, 0);
    EXPECT_EQ(list_.sliders, (std::array<int, 3>{1000, 0, 1000}));
    app::EndMaterialSliderChange(list_, meshes_, 1, 300);
    ASSERT_TRUE(app::SaveSelectedMaterial(list_, settings_));
    EXPECT_EQ(settings_.Read(app::kMaterialSection, "2.000-0.5001.000", "NOP"), "1.0000.3001.000");
}

}  // namespace
