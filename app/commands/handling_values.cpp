#include "app/commands/handling_values.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "app/commands/typed_numbers.h"
#include "app/core/editor_actions.h"
#include "gfx/math/math.h"

namespace app {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

float& Component(gfx::Vec3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

bool Finite(gfx::Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool IsPartInUse(const Session& session, model::PartIndex part) {
    return part >= 0 && part < session.model.parts.count;
}

// The angles the boxes show for the part: as last typed while the part still has the
// orientation they gave it, otherwise read from its orientation.
gfx::Vec3 ShownDegrees(const Session& session, model::PartIndex part) {
    const gfx::Quat orientation = session.model.scene.node[part].GetOrientation();
    const TypedAngles& typed = session.editor.HandlingAngles;
    if (typed.part == part && typed.orientation == orientation) return typed.degrees;
    return DegreesFromQuaternion(orientation);
}

}  // namespace

gfx::Quat QuaternionFromDegrees(gfx::Vec3 degrees) {
    const auto radians = [](float angle) {
        return static_cast<float>(static_cast<double>(angle) / kDegreesPerRadian);
    };
    return gfx::QuaternionNormalize(gfx::QuaternionRotationMatrix(gfx::MatrixRotationYawPitchRoll(
        radians(degrees.y), radians(degrees.x), radians(degrees.z))));
}

gfx::Vec3 DegreesFromQuaternion(gfx::Quat orientation) {
    const gfx::Quat unit = gfx::QuaternionNormalize(orientation);
    const gfx::Matrix m = gfx::MatrixRotationQuaternion(
        unit == gfx::Quat{0.0f, 0.0f, 0.0f, 0.0f} ? gfx::Quat{} : unit);
    // Roll Z, then pitch X, then yaw Y gives the third row (cos p sin y, -sin p, cos p cos y),
    // the second column (sin r cos p, cos r cos p, ...) down its first two rows.
    const double sinPitch = std::clamp(-static_cast<double>(m.m[2][1]), -1.0, 1.0);
    const double pitch = std::asin(sinPitch);
    double yaw = 0.0;
    double roll = 0.0;
    if (std::abs(sinPitch) < 0.99999) {
        yaw = std::atan2(m.m[2][0], m.m[2][2]);
        roll = std::atan2(m.m[0][1], m.m[1][1]);
    } else {
        // Pitched straight up or down, yaw and roll turn about the same axis: all of it is yaw.
        yaw = std::atan2(-m.m[0][2], m.m[0][0]);
    }
    const auto degrees = [](double angle) { return static_cast<float>(angle * kDegreesPerRadian); };
    return {degrees(pitch), degrees(yaw), degrees(roll)};
}

HandlingTexts HandlingTextsFor(const Session& session) {
    HandlingTexts texts;
    const model::PartIndex part = session.editor.SelectedPart;
    if (!IsPartInUse(session, part)) return texts;
    texts.part = part;
    const gfx::Vec3 position = session.model.scene.node[part].GetPosition();
    const gfx::Vec3 degrees = ShownDegrees(session, part);
    const std::array<float, kHandlingBoxCount> values{position.x, position.y, position.z,
                                                      degrees.x,  degrees.y,  degrees.z};
    for (int box = 0; box < kHandlingBoxCount; ++box) {
        texts.text[box] = ShortNumberText(values[box]);
    }
    return texts;
}

bool TypeHandlingValue(Session& session, HandlingBox box, std::string_view text) {
    const model::PartIndex part = session.editor.SelectedPart;
    const std::optional<float> value = TypedNumber(text);
    // During a drag the typed value would join the drag's step.
    if (!value || !IsPartInUse(session, part) || session.model.EditUnderWay()) return false;
    scene::TransformNode& node = session.model.scene.node[part];
    const int index = static_cast<int>(box);
    const int axis = index % 3;
    bool taken = true;
    session.model.BeginEdit();
    if (index < 3) {
        const gfx::Vec3 local{node.local.m[3][0], node.local.m[3][1], node.local.m[3][2]};
        gfx::Vec3 position = node.GetPosition();
        Component(position, axis) = *value;
        node.SetPosition(position);
        // A number too large for the part's own frame (a parent scaled down) is refused.
        if (!Finite(node.GetPosition())) {
            node.SetLocalPosition(local);
            taken = false;
        }
    } else {
        gfx::Vec3 degrees = ShownDegrees(session, part);
        Component(degrees, axis) = *value;
        node.SetOrientation(QuaternionFromDegrees(degrees));
        KeepTypedAngles(session.editor, part, node.GetOrientation(), degrees);
    }
    session.model.EndEdit();
    return taken;
}

}  // namespace app
