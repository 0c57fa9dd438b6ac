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

// An effect file as written: see "Effect files" in README.md.
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
    };

    std::vector<Parameter> parameters;
    std::vector<Code> shared;
    std::vector<Shader> shaders;
    std::vector<Technique> techniques;
};

// Reads an effect from text. False with "line N: what" in error when the text is malformed.
bool ParseEffect(std::string_view text, EffectDescription& out, std::string& error);

}  // namespace platform::gfx
