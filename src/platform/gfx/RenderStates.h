#pragma once
#include <cstdint>

namespace platform::gfx {

// The device's render states. Values are booleans (0/1), the enumerations below, or numbers
// where noted. Defaults follow a freshly created (or reset) device.
enum class RenderState : uint32_t {
    ZEnable,           // bool, default 1
    ZWriteEnable,      // bool, default 1
    ZFunc,             // CompareFunc, default LessEqual
    CullMode,          // CullMode, default CCW (counter-clockwise faces are removed)
    AlphaBlendEnable,  // bool, default 0
    SrcBlend,          // BlendFactor, default One
    DestBlend,         // BlendFactor, default Zero
    BlendOp,           // BlendOp, default Add
    AlphaTestEnable,   // bool, default 0
    AlphaRef,          // 0..255, default 0
    AlphaFunc,         // CompareFunc, default Always
    FillMode,          // FillMode, default Solid
    Lighting,          // bool, default 1
    SpecularEnable,    // bool, default 0: adds the specular colour after the texture stages
    Ambient,           // 0xAARRGGBB global ambient light, default 0
    Count
};

// Per-sampler states; sampler i reads the texture set on stage i.
enum class SamplerState : uint32_t {
    MinFilter,      // TextureFilter, default Point
    MagFilter,      // TextureFilter, default Point
    MipFilter,      // TextureFilter (None, Point or Linear), default None
    AddressU,       // TextureAddress, default Wrap
    AddressV,       // TextureAddress, default Wrap
    MaxAnisotropy,  // number, default 1; used when a filter is Anisotropic
    Count
};

// Per-stage states of the fixed-function texture cascade. Stage 0 starts from the vertex
// colour; each enabled stage combines its two arguments; a stage whose colour operation is
// Disable ends the cascade.
enum class TextureStageState : uint32_t {
    ColorOp,    // TextureOp, default Modulate on stage 0, Disable on the others
    ColorArg1,  // TextureArg, default Texture
    ColorArg2,  // TextureArg, default Current
    AlphaOp,    // TextureOp, default SelectArg1 on stage 0, Disable on the others
    AlphaArg1,  // TextureArg, default Texture
    AlphaArg2,  // TextureArg, default Current
    Count
};

enum class CompareFunc : uint32_t { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class CullMode : uint32_t { None, CW, CCW };
enum class BlendFactor : uint32_t {
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColor,
    InvDestColor,
};
enum class BlendOp : uint32_t { Add, Subtract, RevSubtract, Min, Max };
enum class FillMode : uint32_t { Point, Wireframe, Solid };
enum class TextureFilter : uint32_t { None, Point, Linear, Anisotropic };
enum class TextureAddress : uint32_t { Wrap, Mirror, Clamp };
// Disable: for colour, ends the cascade; for alpha, keeps the current alpha.
enum class TextureOp : uint32_t { Disable, SelectArg1, SelectArg2, Modulate, Add };
// Current is the result of the previous stage, the vertex colour on stage 0.
enum class TextureArg : uint32_t { Diffuse, Current, Texture };

// Texture stages and samplers the device offers. The fixed-function cascade uses the first
// kFixedFunctionStages of them; effects bind their textures to the first kTextureStages.
constexpr uint32_t kTextureStages = 8;
constexpr uint32_t kFixedFunctionStages = 2;

}  // namespace platform::gfx
