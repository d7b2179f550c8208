#include "framework/device/graphics_types.h"
#include "gfx/math/math.h"

namespace framework {

Light MakeDirectionalLight(gfx::Vec3 direction, gfx::ColourValue diffuse) {
    Light light;
    light.type = kLightDirectional;
    light.diffuse = diffuse;
    light.direction = gfx::Vec3Normalize(direction);
    light.range = kLightRangeMax;
    return light;
}

}  // namespace framework
