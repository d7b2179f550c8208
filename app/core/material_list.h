#pragma once
// The Material panel's list: one row per base diffuse colour of the loaded meshes' materials,
// with the replacement colour chosen for it. The row texts ("%.3f") are the only storage: every
// value is read back from them, so every colour handled here is rounded to three decimals.
// Each row tags its materials by overwriting their diffuse alpha with a number of its own
// (0.999, 0.998, ...), by which a later recolouring finds them again. The replacements are kept
// in the settings file's "MATERIAL" section, keyed by the base colour.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/settings/settings_file.h"
#include "gfx/base/result.h"
#include "scene/mesh_object.h"

namespace app {

inline constexpr std::string_view kMaterialSection = "MATERIAL";
inline constexpr std::string_view kMaterialPanelSection = "MATERIAL_DIALOG";
inline constexpr int kMaterialSliderMax = 1000;  // a track bar step is 0.001

enum MaterialColumn : int {
    kBaseRed,
    kBaseGreen,
    kBaseBlue,
    kRowTag,
    kSetRed,
    kSetGreen,
    kSetBlue,
    kMaterialColumns
};
inline constexpr std::array<std::string_view, kMaterialColumns> kMaterialColumnTitles = {
    "Red", "Green", "Blue", "Alpha", "R-Set", "G-Set", "B-Set"};

using MaterialRow = std::array<std::string, kMaterialColumns>;
// The meshes of the model's parts in table order.
using MaterialMeshes = std::span<scene::MeshObject>;

// What the panel shows: the rows, the selected one and the three track bars (red, green, blue)
// with their value labels.
struct MaterialList {
    std::vector<MaterialRow> rows;
    int selected = -1;  // none
    std::array<int, 3> sliders{};
    std::array<std::string, 3> labels{"0.000", "0.000", "0.000"};

    bool HasSelection() const { return selected >= 0 && selected < int(rows.size()); }
};

// The meshes changed: every grouped material shows its base colour again, the current
// replacements are stored, and the rows are made afresh from the meshes' materials, each new
// row taking its replacement from the settings (or its base colour when none is stored) and
// recolouring its materials with it. The selection is cleared.
void RebuildMaterialList(MaterialList& list, MaterialMeshes meshes,
                         const files::SettingsFile& settings);
// Every row's materials show the row's base colour; the rows keep their replacements.
void ResetMaterialColours(const MaterialList& list, MaterialMeshes meshes);
// Key = the base colour's three texts joined, value = the replacement's. Keys no longer listed
// stay in the file. A replacement outside 0.000 .. 1.000 (a base colour never changed by the
// track bars) is not stored, so every stored value is three five-character fields.
gfx::Status SaveMaterialSettings(const MaterialList& list, const files::SettingsFile& settings);
// As above for the selected row only.
gfx::Status SaveSelectedMaterial(const MaterialList& list, const files::SettingsFile& settings);

// A row was selected (-1: the selection went): the track bars take its replacement and the
// labels show them; nothing is recoloured.
void SelectMaterialRow(MaterialList& list, int row);
// The labels show the track bars' values; with `write` the selected row takes them as its
// replacement and its materials, in every mesh, are recoloured. Nothing without a selection.
void ApplyMaterialSliders(MaterialList& list, MaterialMeshes meshes, bool write);
// "▼" (by -1) or "▲" (by 1) of a channel (0 red, 1 green, 2 blue): one step within 0 .. 1000,
// then applied with writing, also when the track bar was already at its end.
void StepMaterialSlider(MaterialList& list, MaterialMeshes meshes, int channel, int by);
// A user's change of a track bar ended at `position`: applied with writing.
void EndMaterialSliderChange(MaterialList& list, MaterialMeshes meshes, int channel, int position);

}  // namespace app
