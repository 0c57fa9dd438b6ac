#include "platform/gfx/FixedFunctionPrograms.h"

#include <algorithm>
#include <string_view>

namespace platform::gfx {
namespace {

constexpr std::string_view kStageSamplers[] = {"vx_StageTexture0", "vx_StageTexture1"};

// Bits of a packed value and where the fields lie in the key.
constexpr uint32_t kOpBits = 3;
constexpr uint32_t kArgBits = 2;
constexpr uint32_t kStageBits = 2 * (kOpBits + 2 * kArgBits);
constexpr uint32_t kAlphaTestShift = kStageBits * kFixedFunctionStages;
constexpr uint32_t kAlphaFuncShift = kAlphaTestShift + 1;
constexpr uint32_t kSpecularShift = kAlphaFuncShift + 3;
constexpr uint32_t kLightingShift = kSpecularShift + 1;

// The cascade treats every operation past Add as Add, every argument but Diffuse and Texture as
// Current, and every comparison past GreaterEqual as Always.
uint32_t Operation(uint32_t op) { return std::min(op, static_cast<uint32_t>(TextureOp::Add)); }
uint32_t Argument(uint32_t argument)
{
    const bool kept = argument == static_cast<uint32_t>(TextureArg::Diffuse) ||
                      argument == static_cast<uint32_t>(TextureArg::Texture);
    return kept ? argument : static_cast<uint32_t>(TextureArg::Current);
}
uint32_t Comparison(uint32_t func) { return std::min(func, static_cast<uint32_t>(CompareFunc::Always)); }

uint32_t Field(uint64_t key, uint32_t shift, uint32_t bits)
{
    return static_cast<uint32_t>(key >> shift) & ((1u << bits) - 1u);
}

// One stage's operation and arguments for colour (part 0) or alpha (part 1), as a GLSL ivec4.
std::string StageVector(uint64_t key, uint32_t stage, uint32_t part)
{
    const uint32_t shift = stage * kStageBits + part * (kOpBits + 2 * kArgBits);
    return "ivec4(" + std::to_string(Field(key, shift, kOpBits)) + ", " +
           std::to_string(Field(key, shift + kOpBits, kArgBits)) + ", " +
           std::to_string(Field(key, shift + kOpBits + kArgBits, kArgBits)) + ", 0)";
}

std::string Flag(uint64_t key, uint32_t shift) { return Field(key, shift, 1) != 0 ? "true" : "false"; }

}  // namespace

uint64_t FixedFunctionPrograms::KeyOf(const uint32_t* renderStates, const StageStates* stageStates)
{
    const auto state = [&](RenderState s) { return renderStates[static_cast<uint32_t>(s)]; };
    uint64_t key = 0;
    uint32_t shift = 0;
    const auto put = [&](uint32_t value, uint32_t bits) {
        key |= static_cast<uint64_t>(value) << shift;
        shift += bits;
    };
    for (uint32_t stage = 0; stage < kFixedFunctionStages; ++stage) {
        const auto stageState = [&](TextureStageState s) { return stageStates[stage][static_cast<uint32_t>(s)]; };
        put(Operation(stageState(TextureStageState::ColorOp)), kOpBits);
        put(Argument(stageState(TextureStageState::ColorArg1)), kArgBits);
        put(Argument(stageState(TextureStageState::ColorArg2)), kArgBits);
        put(Operation(stageState(TextureStageState::AlphaOp)), kOpBits);
        put(Argument(stageState(TextureStageState::AlphaArg1)), kArgBits);
        put(Argument(stageState(TextureStageState::AlphaArg2)), kArgBits);
    }
    put(state(RenderState::AlphaTestEnable) != 0 ? 1 : 0, 1);
    put(Comparison(state(RenderState::AlphaFunc)), 3);
    put(state(RenderState::SpecularEnable) != 0 ? 1 : 0, 1);
    put(state(RenderState::Lighting) != 0 ? 1 : 0, 1);
    return key;
}

std::string FixedFunctionPrograms::Steering(uint64_t key)
{
    std::string out;
    out += "#define vx_LightingOn " + Flag(key, kLightingShift) + "\n";
    out += "#define vx_SpecularOn " + Flag(key, kSpecularShift) + "\n";
    out += "#define vx_StageColorOf(s) ((s) == 0 ? " + StageVector(key, 0, 0) + " : " + StageVector(key, 1, 0) + ")\n";
    out += "#define vx_StageAlphaOf(s) ((s) == 0 ? " + StageVector(key, 0, 1) + " : " + StageVector(key, 1, 1) + ")\n";
    out += "#define vx_AlphaTestOn " + Flag(key, kAlphaTestShift) + "\n";
    out += "#define vx_AlphaFunc " + std::to_string(Field(key, kAlphaFuncShift, 3)) + "\n";
    return out;
}

const ShaderProgram* FixedFunctionPrograms::Get(VertexKind kind, uint64_t key)
{
    Variant& variant = VariantOf(key);
    const size_t index = kind == VertexKind::Engine ? 0 : 1;
    ShaderProgram& program = variant.programs[index];
    if (program.Name() != 0) return &program;
    if (variant.failed[index]) return nullptr;
    const std::string steering = Steering(key);
    const ShaderCode vertexCode = kind == VertexKind::Engine ? FixedFunctionVertexCode() : ScreenVertexCode();
    const std::string vertexSource = AssembleVertexShader(kind, {{}, {}, vertexCode, steering});
    const std::string pixelSource = AssemblePixelShader({{}, {}, FixedFunctionPixelCode(), steering});
    failure_.clear();
    if (!program.Build(vertexSource, pixelSource, failure_)) {
        variant.failed[index] = true;
        return nullptr;
    }
    const std::string samplerNames[] = {std::string(kStageSamplers[0]), std::string(kStageSamplers[1])};
    program.BindSamplers(samplerNames);
    return &program;
}

FixedFunctionPrograms::Variant& FixedFunctionPrograms::VariantOf(uint64_t key)
{
    for (Variant& variant : variants_) {
        if (variant.key == key) return variant;
    }
    Variant& made = variants_.emplace_back();
    made.key = key;
    return made;
}

void FixedFunctionPrograms::Release() { variants_.clear(); }

}  // namespace platform::gfx
