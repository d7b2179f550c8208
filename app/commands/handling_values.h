#pragma once
// The Handling panel's boxes without their window: the selected part's position, in
// parent-scaled units (those of the part file's default position and of the keys), and its
// orientation as three angles in degrees, and what a value typed into a box does.
//
// The angles are those of gfx::MatrixRotationYawPitchRoll: the part is turned about its Z axis
// (roll), then about X (pitch), then about Y (yaw); the boxes X, Y and Z show pitch, yaw and
// roll. Read back from an orientation, pitch lies within -90 .. 90 and the others within
// -180 .. 180 (roll 0 where pitch is +-90).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/session.h"
#include "gfx/math/math_types.h"

namespace app {

enum class HandlingBox : std::int8_t {
    kPositionX,
    kPositionY,
    kPositionZ,
    kAngleX,
    kAngleY,
    kAngleZ,
};
inline constexpr int kHandlingBoxCount = 6;

// What the six boxes show, in HandlingBox order. With no part selected the texts are empty
// and the boxes take no typing.
struct HandlingTexts {
    model::PartIndex part = model::kNoPart;
    std::array<std::string, kHandlingBoxCount> text;

    bool operator==(const HandlingTexts&) const = default;
};

// The selected part's values as the boxes show them (app/commands/typed_numbers.h). The angles
// last typed for the part are shown as typed while its orientation is still the one they gave.
HandlingTexts HandlingTextsFor(const Session& session);

// Enter in `box` with `text`: the selected part takes the number as that coordinate or angle
// (the other two angles as the boxes show them), as one history step. Refused (false, nothing
// changed) when `text` is not a finite number (TypedNumber), nothing is selected, a drag is
// under way, or the position would not be finite in the part's own frame.
bool TypeHandlingValue(Session& session, HandlingBox box, std::string_view text);

// Angles in degrees about X (pitch), Y (yaw) and Z (roll) to a unit quaternion, and back.
gfx::Quat QuaternionFromDegrees(gfx::Vec3 degrees);
gfx::Vec3 DegreesFromQuaternion(gfx::Quat orientation);

}  // namespace app
