#pragma once
#include <type_traits>

#include "platform/gfx/ColorValue.h"

namespace platform::gfx {

// The surface the fixed-function lighting lights: diffuse, ambient and specular reflect the
// lights, emissive is added, power is the specular exponent.
struct Material {
    ColorValue diffuse;
    ColorValue ambient;
    ColorValue specular;
    ColorValue emissive;
    float power;
};
static_assert(sizeof(Material) == 68 && std::is_standard_layout_v<Material>);

}  // namespace platform::gfx
