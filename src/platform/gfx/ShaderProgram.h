#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gfx {

// Which vertices a program reads: engine vertices (transformed and lit) or pre-transformed
// screen vertices.
enum class VertexKind : uint32_t { Engine, Screen };

// A piece of GLSL and the line of the effect file it starts on (0 for built-in code).
struct ShaderCode {
    std::string_view text;
    int32_t line = 0;
};

// What one stage is made of: the declarations of the effect's parameters, the effect's shared
// code and the stage's own code, which defines main. The built-in code reads the states that
// steer it (lighting, specular, the texture cascade, the alpha test) through the macros
// vx_LightingOn, vx_SpecularOn, vx_StageColorOf(s), vx_StageAlphaOf(s), vx_AlphaTestOn and
// vx_AlphaFunc: steering holds their #defines for a program built for fixed
// states; empty, they read the engine's uniform blocks.
struct ShaderParts {
    std::string_view parameterDeclarations;
    std::span<const ShaderCode> shared;
    ShaderCode body;
    std::string_view steering;
};

// The full GLSL of a vertex stage (for the given vertices) or of a pixel stage: the engine's
// inputs and helpers, then the parts.
std::string AssembleVertexShader(VertexKind kind, const ShaderParts& parts);
std::string AssemblePixelShader(const ShaderParts& parts);

// A linked GL program whose engine uniform blocks are bound to the device's blocks.
class ShaderProgram {
public:
    ShaderProgram() = default;
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;
    ShaderProgram(ShaderProgram&& other) noexcept;
    ShaderProgram& operator=(ShaderProgram&& other) noexcept;
    ~ShaderProgram();

    // Compiles and links; false with the compiler's messages in log.
    bool Build(const std::string& vertexSource, const std::string& pixelSource, std::string& log);
    // Points the named samplers at texture units 0, 1, ... in order.
    void BindSamplers(std::span<const std::string> samplerNames);
    // -1 when the program has no such active uniform.
    int32_t UniformLocation(const std::string& name) const;
    uint32_t Name() const { return name_; }
    void Release();

private:
    uint32_t name_ = 0;
};

// The built-in stages: the fixed-function vertex processing of engine vertices, the mapping of
// screen vertices, and the fixed-function texture cascade.
ShaderCode FixedFunctionVertexCode();
ShaderCode ScreenVertexCode();
ShaderCode FixedFunctionPixelCode();

}  // namespace platform::gfx
