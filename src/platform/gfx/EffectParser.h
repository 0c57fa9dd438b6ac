#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gfx {

enum class ParameterType : uint32_t { Texture, Float };

// Which kind of device state a pass assigns.
enum class StateKind : uint32_t { Render, Sampler, TextureStage };

// One "State[index] = value;" of a pass.
struct StateAssignment {
    StateKind kind;
    uint32_t index;  // sampler or stage; 0 for render states
    uint32_t state;  // RenderState, SamplerState or TextureStageState
    uint32_t value;
};

// An effect file as written: see "Effect files" in docs/modding.md.
struct EffectDescription {
    struct Parameter {
        std::string name;
        ParameterType type;
    };
    struct Code {
        std::string text;
        int32_t line;  // line of the file the text starts on
    };
    struct Shader {
        std::string name;
        bool pixel;  // a pixel shader; otherwise a vertex shader
        Code code;
    };
    struct Pass {
        std::string name;
        int32_t vertexShader = -1;  // index into shaders, -1 for the fixed-function stage
        int32_t pixelShader = -1;
        std::vector<StateAssignment> states;
    };
    struct Technique {
        std::string name;
        std::vector<Pass> passes;
        std::string error;  // "line N: what" for a technique that cannot be used, else empty
    };

    std::vector<Parameter> parameters;
    std::vector<Code> shared;
    std::vector<Shader> shaders;
    std::vector<Technique> techniques;
};

// Reads an effect from text. A technique with a mistake inside its braces (an unknown state or
// shader, a bad value, a missing ';') is kept with its error and the reading goes on after it.
// False, with the problems in error, when the text outside the techniques is malformed (then
// "line N: what") or no technique is usable (then one "technique 'name': line N: what" a line).
bool ParseEffect(std::string_view text, EffectDescription& out, std::string& error);
// How messages name a technique: "technique 'name'", or "technique N" for one without a name.
std::string TechniqueLabel(const EffectDescription& description, size_t technique);

}  // namespace platform::gfx
