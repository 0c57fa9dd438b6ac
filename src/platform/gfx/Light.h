#pragma once
#include <cstdint>
#include <type_traits>

#include "math/PVector3.h"
#include "platform/gfx/ColorValue.h"

namespace platform::gfx {

enum class LightType : uint32_t { Point = 1, Spot = 2, Directional = 3 };

// One light of the fixed-function lighting, in world space. The layout is the 104-byte light
// record that level files and scene objects store.
struct Light {
    LightType type;
    ColorValue diffuse;
    ColorValue specular;
    ColorValue ambient;
    PVector3 position;   // point and spot lights
    PVector3 direction;  // spot and directional lights: where the light shines to
    float range;         // point and spot lights light nothing farther away
    float falloff;       // spot: exponent between the inner and the outer cone
    float attenuation0;  // point and spot: 1 / (a0 + a1 d + a2 d²)
    float attenuation1;
    float attenuation2;
    float theta;         // spot: inner cone angle, radians
    float phi;           // spot: outer cone angle, radians
};
static_assert(sizeof(Light) == 104 && std::is_standard_layout_v<Light> && std::is_trivially_copyable_v<Light>);

// The maximum number of lights enabled at once.
constexpr uint32_t kMaxLights = 30;

}  // namespace platform::gfx
