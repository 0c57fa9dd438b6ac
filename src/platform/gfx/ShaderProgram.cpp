#include "platform/gfx/ShaderProgram.h"

#include <utility>

#include <epoxy/gl.h>

#include "platform/gfx/EngineUniforms.h"

namespace platform::gfx {
namespace {

constexpr std::string_view kVersion = "#version 330 core\n";

// How the built-in code reads the states that steer it when its program is not built for fixed
// states: from the engine's uniform blocks, which follow every state change.
constexpr std::string_view kUniformSteering = R"(#define vx_LightingOn (vx_LightingFlags.x != 0)
#define vx_SpecularOn (vx_LightingFlags.y != 0)
#define vx_StageColorOf(s) vx_StageColor[s]
#define vx_StageAlphaOf(s) vx_StageAlpha[s]
#define vx_AlphaTestOn (vx_PixelFlags.x != 0)
#define vx_AlphaFunc vx_PixelFlags.y
)";

// The engine's inputs, the same in every stage. Matrices are laid out row by row, as the
// engine keeps them, so shaders transform row vectors: v * M.
constexpr std::string_view kCommon = R"(layout(std140, row_major) uniform VxTransform {
    mat4 vx_World;
    mat4 vx_View;
    mat4 vx_Projection;
    mat4 vx_WorldView;
    mat4 vx_WorldViewProjection;
    mat4 vx_NormalMatrix;
    vec4 vx_Viewport;
    vec4 vx_Target;
};
struct VxLight {
    vec4 diffuse;
    vec4 specular;
    vec4 ambient;
    vec4 position;
    vec4 direction;
    vec4 attenuation;
    vec4 spot;
};
layout(std140) uniform VxLighting {
    vec4 vx_Ambient;
    vec4 vx_MaterialDiffuse;
    vec4 vx_MaterialAmbient;
    vec4 vx_MaterialSpecular;
    vec4 vx_MaterialEmissive;
    vec4 vx_MaterialPower;
    ivec4 vx_LightingFlags;
    VxLight vx_Lights[30];
};
layout(std140) uniform VxPixel {
    ivec4 vx_StageColor[2];
    ivec4 vx_StageAlpha[2];
    ivec4 vx_PixelFlags;
};
)";

constexpr std::string_view kEngineInputs = R"(layout(location = 0) in vec3 vx_Position;
layout(location = 1) in vec3 vx_Normal;
layout(location = 2) in vec4 vx_Diffuse;
layout(location = 3) in vec4 vx_Specular;
layout(location = 4) in vec2 vx_Tex0;
layout(location = 5) in vec2 vx_Tex1;
)";

constexpr std::string_view kScreenInputs = R"(layout(location = 0) in vec4 vx_ScreenPosition;
layout(location = 2) in vec4 vx_Diffuse;
layout(location = 4) in vec2 vx_Tex0;
)";

// Outputs of every vertex stage and the lighting helper (view space, per vertex).
constexpr std::string_view kVertexOutputs = R"(out vec4 vx_Color;
out vec4 vx_SpecularColor;
out vec2 vx_TexCoord0;
out vec2 vx_TexCoord1;

float vx_SpotFactor(VxLight light, vec3 toLight) {
    float rho = dot(light.direction.xyz, -toLight);
    if (rho > light.spot.x) return 1.0;
    if (rho <= light.spot.y) return 0.0;
    return pow((rho - light.spot.y) / (light.spot.x - light.spot.y), light.attenuation.w);
}

void vx_Lighting(vec3 position, vec3 normal, out vec4 diffuse, out vec4 specular) {
    vec3 n = dot(normal, normal) > 0.0 ? normalize(normal) : vec3(0.0);
    vec3 toEye = dot(position, position) > 0.0 ? normalize(-position) : vec3(0.0, 0.0, -1.0);
    vec3 ambientSum = vec3(0.0);
    vec3 diffuseSum = vec3(0.0);
    vec3 specularSum = vec3(0.0);
    for (int i = 0; i < vx_LightingFlags.z; ++i) {
        VxLight light = vx_Lights[i];
        vec3 toLight = -light.direction.xyz;
        float factor = 1.0;
        if (light.position.w != 3.0) {
            vec3 offset = light.position.xyz - position;
            float distance = length(offset);
            if (distance > light.direction.w) continue;
            toLight = distance > 0.0 ? offset / distance : n;
            float denominator = light.attenuation.x + distance * (light.attenuation.y + distance * light.attenuation.z);
            factor = denominator > 0.0 ? 1.0 / denominator : 1.0;
            if (light.position.w == 2.0) factor *= vx_SpotFactor(light, toLight);
        }
        float nDotL = max(dot(n, toLight), 0.0);
        ambientSum += light.ambient.rgb * factor;
        diffuseSum += light.diffuse.rgb * nDotL * factor;
        if (vx_SpecularOn && nDotL > 0.0) {
            float nDotH = max(dot(n, normalize(toEye + toLight)), 0.0);
            specularSum += light.specular.rgb * (nDotH > 0.0 ? pow(nDotH, vx_MaterialPower.x) : 0.0) * factor;
        }
    }
    vec3 colour = vx_MaterialEmissive.rgb + vx_MaterialAmbient.rgb * (vx_Ambient.rgb + ambientSum) +
                  vx_MaterialDiffuse.rgb * diffuseSum;
    diffuse = vec4(clamp(colour, 0.0, 1.0), vx_MaterialDiffuse.a);
    specular = vec4(clamp(vx_MaterialSpecular.rgb * specularSum, 0.0, 1.0), vx_MaterialSpecular.a);
}
)";

// Pixels are covered where their centres lie, and centres sit on whole screen coordinates: the
// picture moves half a pixel right and down from where GL would put it. Render targets store
// their top row first: their drawing is flipped vertically.
constexpr std::string_view kVertexEpilogue = R"(
void main() {
    vx_UserMain();
    gl_Position.xy += vec2(1.0 / vx_Viewport.z, -1.0 / vx_Viewport.w) * gl_Position.w;
    gl_Position.y *= vx_Target.z;
}
)";

constexpr std::string_view kPixelInputs = R"(in vec4 vx_Color;
in vec4 vx_SpecularColor;
in vec2 vx_TexCoord0;
in vec2 vx_TexCoord1;
vec4 vx_FragColor;
layout(location = 0) out vec4 vx_Output;

bool vx_PassesAlphaTest(float alpha) {
    if (!vx_AlphaTestOn) return true;
    int value = int(floor(clamp(alpha, 0.0, 1.0) * 255.0 + 0.5));
    int reference = vx_PixelFlags.z;
    switch (vx_AlphaFunc) {
    case 0: return false;
    case 1: return value < reference;
    case 2: return value == reference;
    case 3: return value <= reference;
    case 4: return value > reference;
    case 5: return value != reference;
    case 6: return value >= reference;
    }
    return true;
}
)";

constexpr std::string_view kPixelEpilogue = R"(
void main() {
    vx_FragColor = vec4(0.0);
    vx_UserMain();
    if (!vx_PassesAlphaTest(vx_FragColor.a)) discard;
    vx_Output = vx_FragColor;
}
)";

constexpr std::string_view kFixedFunctionVertex = R"(void main() {
    vec4 position = vec4(vx_Position, 1.0);
    gl_Position = position * vx_WorldViewProjection;
    if (vx_LightingOn) {
        vx_Lighting((position * vx_WorldView).xyz, vx_Normal * mat3(vx_NormalMatrix), vx_Color, vx_SpecularColor);
    } else {
        vx_Color = vx_Diffuse;
        vx_SpecularColor = vx_Specular;
    }
    vx_TexCoord0 = vx_Tex0;
    vx_TexCoord1 = vx_Tex1;
}
)";

// Screen positions are where the viewport puts clip coordinates.
constexpr std::string_view kScreenVertex = R"(void main() {
    vec2 pixel = vx_ScreenPosition.xy - vx_Viewport.xy;
    vec2 ndc = vec2(pixel.x / vx_Viewport.z * 2.0 - 1.0, 1.0 - pixel.y / vx_Viewport.w * 2.0);
    float w = vx_ScreenPosition.w > 0.0 ? 1.0 / vx_ScreenPosition.w : 1.0;
    gl_Position = vec4(ndc * w, (vx_ScreenPosition.z * 2.0 - 1.0) * w, w);
    vx_Color = vx_Diffuse;
    vx_SpecularColor = vec4(0.0);
    vx_TexCoord0 = vx_Tex0;
    vx_TexCoord1 = vx_Tex0;
}
)";

// The texture cascade: arguments 0 diffuse, 1 current, 2 texture; operations 0 disable,
// 1 select arg1, 2 select arg2, 3 modulate, 4 add.
constexpr std::string_view kFixedFunctionPixel = R"(uniform sampler2D vx_StageTexture0;
uniform sampler2D vx_StageTexture1;

vec4 vx_Argument(int argument, vec4 current, vec4 texel) {
    if (argument == 0) return vx_Color;
    if (argument == 2) return texel;
    return current;
}

vec4 vx_Combine(int operation, vec4 first, vec4 second) {
    if (operation == 1) return first;
    if (operation == 2) return second;
    if (operation == 3) return first * second;
    return clamp(first + second, 0.0, 1.0);
}

bool vx_Stage(int stage, vec4 texel, inout vec4 current) {
    ivec4 colour = vx_StageColorOf(stage);
    if (colour.x == 0) return false;
    ivec4 alpha = vx_StageAlphaOf(stage);
    vec3 rgb = vx_Combine(colour.x, vx_Argument(colour.y, current, texel), vx_Argument(colour.z, current, texel)).rgb;
    float a = current.a;
    if (alpha.x != 0) a = vx_Combine(alpha.x, vx_Argument(alpha.y, current, texel), vx_Argument(alpha.z, current, texel)).a;
    current = vec4(rgb, a);
    return true;
}

void main() {
    vec4 texel0 = texture(vx_StageTexture0, vx_TexCoord0);
    vec4 texel1 = texture(vx_StageTexture1, vx_TexCoord1);
    vec4 current = vx_Color;
    if (vx_Stage(0, texel0, current)) vx_Stage(1, texel1, current);
    if (vx_SpecularOn) current.rgb = clamp(current.rgb + vx_SpecularColor.rgb, 0.0, 1.0);
    vx_FragColor = current;
}
)";

void AppendCode(std::string& out, const ShaderCode& code)
{
    // Compiler messages then name lines of the effect file.
    out += "#line ";
    out += std::to_string(code.line > 0 ? code.line : 1);
    out += '\n';
    out += code.text;
    out += '\n';
}

void AppendParts(std::string& out, const ShaderParts& parts)
{
    out += parts.parameterDeclarations;
    for (const ShaderCode& shared : parts.shared) AppendCode(out, shared);
    out += "#define main vx_UserMain\n";
    AppendCode(out, parts.body);
    out += "#undef main\n";
}

bool CompileStage(GLuint shader, const std::string& source, const char* stageName, std::string& log)
{
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return true;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string message(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(message.size()), nullptr, message.data());
    message.resize(message.find('\0') == std::string::npos ? message.size() : message.find('\0'));
    log += stageName;
    log += " shader: ";
    log += message;
    if (!log.empty() && log.back() != '\n') log += '\n';
    return false;
}

void BindBlock(GLuint program, const char* name, GLuint binding)
{
    const GLuint index = glGetUniformBlockIndex(program, name);
    if (index != GL_INVALID_INDEX) glUniformBlockBinding(program, index, binding);
}

// The version, then how the built-in code reads its steering states, then the engine's inputs.
std::string BeginShader(const ShaderParts& parts)
{
    std::string out(kVersion);
    out += parts.steering.empty() ? kUniformSteering : parts.steering;
    out += kCommon;
    return out;
}

}  // namespace

std::string AssembleVertexShader(VertexKind kind, const ShaderParts& parts)
{
    std::string out = BeginShader(parts);
    out += kind == VertexKind::Engine ? kEngineInputs : kScreenInputs;
    out += kVertexOutputs;
    AppendParts(out, parts);
    out += kVertexEpilogue;
    return out;
}

std::string AssemblePixelShader(const ShaderParts& parts)
{
    std::string out = BeginShader(parts);
    out += kPixelInputs;
    AppendParts(out, parts);
    out += kPixelEpilogue;
    return out;
}

ShaderCode FixedFunctionVertexCode() { return {kFixedFunctionVertex, 0}; }
ShaderCode ScreenVertexCode() { return {kScreenVertex, 0}; }
ShaderCode FixedFunctionPixelCode() { return {kFixedFunctionPixel, 0}; }

ShaderProgram::ShaderProgram(ShaderProgram&& other) noexcept : name_(std::exchange(other.name_, 0)) {}

ShaderProgram& ShaderProgram::operator=(ShaderProgram&& other) noexcept
{
    if (this != &other) {
        Release();
        name_ = std::exchange(other.name_, 0);
    }
    return *this;
}

ShaderProgram::~ShaderProgram() { Release(); }

void ShaderProgram::Release()
{
    if (name_ != 0) glDeleteProgram(name_);
    name_ = 0;
}

bool ShaderProgram::Build(const std::string& vertexSource, const std::string& pixelSource, std::string& log)
{
    Release();
    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    const GLuint pixel = glCreateShader(GL_FRAGMENT_SHADER);
    // Both stages compile, so the log holds the errors of both.
    const bool vertexCompiled = CompileStage(vertex, vertexSource, "vertex", log);
    const bool pixelCompiled = CompileStage(pixel, pixelSource, "pixel", log);
    const bool compiled = vertexCompiled && pixelCompiled;
    GLuint program = 0;
    if (compiled) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, pixel);
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            GLint length = 0;
            glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
            std::string message(static_cast<size_t>(length > 0 ? length : 1), '\0');
            glGetProgramInfoLog(program, static_cast<GLsizei>(message.size()), nullptr, message.data());
            log += "link: " + std::string(message.c_str()) + "\n";
            glDeleteProgram(program);
            program = 0;
        }
    }
    glDeleteShader(vertex);
    glDeleteShader(pixel);
    if (program == 0) return false;
    BindBlock(program, "VxTransform", kTransformBinding);
    BindBlock(program, "VxLighting", kLightingBinding);
    BindBlock(program, "VxPixel", kPixelBinding);
    name_ = program;
    return true;
}

void ShaderProgram::BindSamplers(std::span<const std::string> samplerNames)
{
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(name_);
    for (size_t unit = 0; unit < samplerNames.size(); ++unit) {
        const GLint location = glGetUniformLocation(name_, samplerNames[unit].c_str());
        if (location >= 0) glUniform1i(location, static_cast<GLint>(unit));
    }
    glUseProgram(static_cast<GLuint>(previous));
}

int32_t ShaderProgram::UniformLocation(const std::string& name) const
{
    return glGetUniformLocation(name_, name.c_str());
}

}  // namespace platform::gfx
