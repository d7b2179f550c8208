#include "app/core/material_list.h"

#include <algorithm>
#include <optional>

#include "app/core/fixed_text.h"
#include "files/number_text.h"

namespace app {

namespace {

constexpr std::string_view kNoSetting = "NOP";
constexpr std::size_t kFieldChars = 5;  // "0.000" .. "1.000"
constexpr int kRgb = 3;

std::string CellText(double value) {
    return FixedText(value, 3);
}

float Cell(const MaterialRow& row, int column) {
    return static_cast<float>(files::SettingDecimal(row[column]));
}

std::string SettingKey(const MaterialRow& row) {
    return row[kBaseRed] + row[kBaseGreen] + row[kBaseBlue];
}

// One stored field: a five-character number within 0 .. 1, the only kind the track bars give.
std::optional<float> StoredField(std::string_view field) {
    const auto number = files::ParseNumberPrefix(field);
    if (!number || number->length != field.size() || number->value < 0.0f || number->value > 1.0f) {
        return std::nullopt;
    }
    return number->value;
}

// The stored replacement of a base colour: three five-character fields. Anything else (a
// hand-edited value, a value of another length) counts as no replacement.
std::optional<std::array<float, kRgb>> LoadMaterialSetting(const files::SettingsFile& settings,
                                                           const std::string& key) {
    const std::string value = settings.Read(kMaterialSection, key, kNoSetting);
    if (value == kNoSetting || value.size() != kRgb * kFieldChars) return std::nullopt;
    std::array<float, kRgb> colour{};
    for (int c = 0; c < kRgb; ++c) {
        const auto field =
            StoredField(std::string_view(value).substr(c * kFieldChars, kFieldChars));
        if (!field) return std::nullopt;
        colour[c] = *field;
    }
    return colour;
}

gfx::Status SaveRow(const MaterialRow& row, const files::SettingsFile& settings) {
    for (int column : {kSetRed, kSetGreen, kSetBlue}) {
        if (row[column].size() != kFieldChars || !StoredField(row[column]))
            return gfx::Status::Ok();
    }
    return settings.Write(kMaterialSection, SettingKey(row),
                          row[kSetRed] + row[kSetGreen] + row[kSetBlue]);
}

gfx::ColourValue Replacement(const MaterialRow& row) {
    return {Cell(row, kSetRed), Cell(row, kSetGreen), Cell(row, kSetBlue), Cell(row, kRowTag)};
}

void RecolourRowEverywhere(const MaterialRow& row, gfx::ColourValue colour, MaterialMeshes meshes) {
    for (scene::MeshObject& mesh : meshes) mesh.RecolourByTag(Cell(row, kRowTag), colour);
}

}  // namespace

void RebuildMaterialList(MaterialList& list, MaterialMeshes meshes,
                         const files::SettingsFile& settings) {
    ResetMaterialColours(list, meshes);
    files::LogFailedSettingsWrite(SaveMaterialSettings(list, settings), "MATERIAL");
    list.rows.clear();
    list.selected = -1;
    float tag = 1.0f;

    for (std::size_t m = 0; m < meshes.size(); ++m) {
        scene::MeshObject& mesh = meshes[m];
        if (!mesh.IsLoaded()) continue;
        // The colours as loaded: a row, new or joined, recolours every material of this mesh
        // of its colour at once, and those are then in that row already. Visiting them again by
        // their new colour would group them under their replacement instead.
        std::vector<gfx::ColourValue> loaded;
        for (const gfx::Material& material : mesh.materials) loaded.push_back(material.diffuse);
        std::vector<bool> grouped(loaded.size(), false);
        const auto group = [&](std::size_t from, gfx::ColourValue colour) {
            for (std::size_t k = from; k < loaded.size(); ++k) {
                if (loaded[k] == colour) grouped[k] = true;
            }
        };

        for (std::size_t j = 0; j < loaded.size(); ++j) {
            if (grouped[j]) continue;
            const gfx::ColourValue colour = loaded[j];
            const std::array<std::string, kRgb> texts = {CellText(colour.r), CellText(colour.g),
                                                         CellText(colour.b)};
            const auto found = std::find_if(list.rows.rbegin(), list.rows.rend(), [&](auto& row) {
                return row[kBaseRed] == texts[0] && row[kBaseGreen] == texts[1] &&
                       row[kBaseBlue] == texts[2];
            });
            if (found != list.rows.rend()) {
                // Only materials of exactly the row's rounded colour, alpha 1, join it.
                const MaterialRow& row = *found;
                const gfx::ColourValue base{Cell(row, kBaseRed), Cell(row, kBaseGreen),
                                            Cell(row, kBaseBlue), 1.0f};
                mesh.RecolourByColour(base, Replacement(row));
                group(j, base);
                continue;
            }
            tag -= 0.001f;
            MaterialRow row;
            row[kBaseRed] = texts[0];
            row[kBaseGreen] = texts[1];
            row[kBaseBlue] = texts[2];
            row[kRowTag] = CellText(tag);
            const auto stored = LoadMaterialSetting(settings, SettingKey(row));
            const std::array<float, kRgb> set =
                stored ? *stored : std::array<float, kRgb>{colour.r, colour.g, colour.b};
            row[kSetRed] = CellText(set[0]);
            row[kSetGreen] = CellText(set[1]);
            row[kSetBlue] = CellText(set[2]);
            const std::size_t at = std::min(m, list.rows.size());
            list.rows.insert(list.rows.begin() + static_cast<std::ptrdiff_t>(at), row);
            mesh.RecolourByColour(colour, Replacement(row));
            group(j, colour);
        }
    }
}

void ResetMaterialColours(const MaterialList& list, MaterialMeshes meshes) {
    for (const MaterialRow& row : list.rows) {
        RecolourRowEverywhere(
            row,
            {Cell(row, kBaseRed), Cell(row, kBaseGreen), Cell(row, kBaseBlue), Cell(row, kRowTag)},
            meshes);
    }
}

gfx::Status SaveMaterialSettings(const MaterialList& list, const files::SettingsFile& settings) {
    gfx::Status first = gfx::Status::Ok();
    for (const MaterialRow& row : list.rows) {
        const gfx::Status status = SaveRow(row, settings);
        if (first && !status) first = status;
    }
    return first;
}

gfx::Status SaveSelectedMaterial(const MaterialList& list, const files::SettingsFile& settings) {
    return list.HasSelection() ? SaveRow(list.rows[list.selected], settings) : gfx::Status::Ok();
}

void SelectMaterialRow(MaterialList& list, int row) {
    list.selected = row;
    if (!list.HasSelection()) return;
    for (int c = 0; c < kRgb; ++c) {
        // Truncated, as the track bar takes it; a base colour beyond 0 .. 1 stops at an end.
        const double value = files::SettingDecimal(list.rows[row][kSetRed + c]);
        list.sliders[c] = std::clamp(static_cast<int>(std::clamp(value, -1.0, 2.0) * 1000.0), 0,
                                     kMaterialSliderMax);
    }
    ApplyMaterialSliders(list, {}, false);
}

void ApplyMaterialSliders(MaterialList& list, MaterialMeshes meshes, bool write) {
    if (!list.HasSelection()) return;
    MaterialRow& row = list.rows[list.selected];
    for (int c = 0; c < kRgb; ++c) {
        list.labels[c] = CellText(list.sliders[c] * 0.001);
        if (write) row[kSetRed + c] = list.labels[c];
    }
    if (!write) return;
    const float tag = Cell(row, kRowTag);
    RecolourRowEverywhere(row,
                          {static_cast<float>(files::SettingDecimal(list.labels[0])),
                           static_cast<float>(files::SettingDecimal(list.labels[1])),
                           static_cast<float>(files::SettingDecimal(list.labels[2])), tag},
                          meshes);
}

void StepMaterialSlider(MaterialList& list, MaterialMeshes meshes, int channel, int by) {
    if (channel < 0 || channel >= kRgb) return;
    list.sliders[channel] = std::clamp(list.sliders[channel] + by, 0, kMaterialSliderMax);
    ApplyMaterialSliders(list, meshes, true);
}

void EndMaterialSliderChange(MaterialList& list, MaterialMeshes meshes, int channel, int position) {
    if (channel < 0 || channel >= kRgb) return;
    list.sliders[channel] = std::clamp(position, 0, kMaterialSliderMax);
    ApplyMaterialSliders(list, meshes, true);
}

}  // namespace app
