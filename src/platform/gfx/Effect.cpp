#include "platform/gfx/Effect.h"

#include <epoxy/gl.h>

#include "platform/gfx/Texture.h"

namespace platform::gfx {
namespace {

std::string ParameterDeclarations(const EffectDescription& description)
{
    std::string out;
    for (const auto& parameter : description.parameters) {
        out += parameter.type == ParameterType::Texture ? "uniform sampler2D " : "uniform float ";
        out += parameter.name;
        out += ";\n";
    }
    return out;
}

std::vector<ShaderCode> SharedCode(const EffectDescription& description)
{
    std::vector<ShaderCode> shared;
    for (const auto& code : description.shared) shared.push_back({code.text, code.line});
    return shared;
}

ShaderCode ShaderBody(const EffectDescription& description, int32_t shader, ShaderCode builtIn)
{
    if (shader < 0) return builtIn;
    const auto& code = description.shaders[static_cast<size_t>(shader)].code;
    return {code.text, code.line};
}

std::string PassLabel(const EffectDescription& description, size_t technique, size_t pass)
{
    const std::string& passName = description.techniques[technique].passes[pass].name;
    return TechniqueLabel(description, technique) + ", pass " +
           (passName.empty() ? std::to_string(pass) : "'" + passName + "'");
}

}  // namespace

std::unique_ptr<Effect> Effect::Create(Device& device, std::string_view source, std::string& messages)
{
    std::unique_ptr<Effect> effect(new Effect(device));
    if (!effect->Build(source, messages)) return nullptr;
    return effect;
}

Effect::Effect(Device& device) : Resource(device, Pool::Managed) {}

Effect::~Effect()
{
    if (!IsLost()) {
        End();
        ReleaseStorage();
    }
}

void Effect::ReleaseStorage()
{
    for (CompiledPass& pass : passes_) {
        pass.engine.Release();
        pass.screen.Release();
    }
}

bool Effect::Build(std::string_view source, std::string& messages)
{
    messages.clear();
    EffectDescription description;
    std::string error;
    if (!ParseEffect(source, description, error)) {
        messages = error;
        return false;
    }
    int32_t unit = 0;
    for (const auto& parameter : description.parameters) {
        const bool texture = parameter.type == ParameterType::Texture;
        parameters_.push_back({parameter.name, parameter.type, texture ? unit++ : -1});
    }
    savedTextures_.resize(static_cast<size_t>(unit));
    for (const auto& technique : description.techniques) techniqueNames_.push_back(technique.name);
    for (uint32_t technique = 0; technique < description.techniques.size(); ++technique) {
        const std::string& error = description.techniques[technique].error;
        if (!error.empty()) {
            messages += TechniqueLabel(description, technique) + ": " + error + "\n";
            continue;
        }
        if (CompileTechnique(description, technique, messages)) {
            activeTechnique_ = technique;
            return true;
        }
    }
    return false;
}

bool Effect::CompileTechnique(const EffectDescription& description, uint32_t technique, std::string& messages)
{
    const auto& source = description.techniques[technique];
    std::vector<CompiledPass> compiled(source.passes.size());
    bool ok = true;
    for (size_t pass = 0; pass < source.passes.size(); ++pass) {
        std::string log;
        if (!CompilePass(description, source.passes[pass], compiled[pass], log)) {
            messages += PassLabel(description, technique, pass) + ":\n" + log;
            ok = false;
        }
    }
    if (!ok) {
        for (CompiledPass& pass : compiled) {
            pass.engine.Release();
            pass.screen.Release();
        }
        return false;
    }
    passes_ = std::move(compiled);
    // Passes with shaders of their own draw with the programs they now hold.
    for (size_t pass = 0; pass < passes_.size(); ++pass) {
        CompiledPass& p = passes_[pass];
        const auto& s = source.passes[pass];
        if (s.vertexShader >= 0 || s.pixelShader >= 0) p.programs.engine = &p.engine;
        if (s.pixelShader >= 0) p.programs.screen = &p.screen;
    }
    return true;
}

bool Effect::CompilePass(const EffectDescription& description, const EffectDescription::Pass& pass,
                         CompiledPass& compiled, std::string& log)
{
    compiled.states = pass.states;
    compiled.saved.assign(pass.states.size(), 0);
    compiled.programs = {};
    if (pass.vertexShader < 0 && pass.pixelShader < 0) return true;

    const std::string declarations = ParameterDeclarations(description);
    const std::vector<ShaderCode> shared = SharedCode(description);
    const ShaderParts pixelParts{declarations, shared, ShaderBody(description, pass.pixelShader, FixedFunctionPixelCode()), {}};
    const ShaderParts vertexParts{declarations, shared,
                                  ShaderBody(description, pass.vertexShader, FixedFunctionVertexCode()), {}};
    const std::string pixelSource = AssemblePixelShader(pixelParts);

    std::vector<std::string> textureNames;
    for (const Parameter& parameter : parameters_) {
        if (parameter.type == ParameterType::Texture) textureNames.push_back(parameter.name);
    }
    const std::string stageSamplers[] = {"vx_StageTexture0", "vx_StageTexture1"};
    const auto finish = [&](ShaderProgram& program, std::vector<int32_t>& locations) {
        program.BindSamplers(textureNames);
        program.BindSamplers(stageSamplers);
        locations.assign(parameters_.size(), -1);
        for (size_t i = 0; i < parameters_.size(); ++i) {
            if (parameters_[i].type == ParameterType::Float) {
                locations[i] = program.UniformLocation(parameters_[i].name);
            }
        }
    };

    if (!compiled.engine.Build(AssembleVertexShader(VertexKind::Engine, vertexParts), pixelSource, log)) return false;
    finish(compiled.engine, compiled.engineLocations);
    if (pass.pixelShader >= 0) {
        const ShaderParts screenParts{declarations, shared, ScreenVertexCode(), {}};
        std::string screenLog;
        if (!compiled.screen.Build(AssembleVertexShader(VertexKind::Screen, screenParts), pixelSource, screenLog)) {
            log += "with screen vertices: " + screenLog;
            return false;
        }
        finish(compiled.screen, compiled.screenLocations);
    }
    return true;
}

int32_t Effect::FindParameter(std::string_view name) const
{
    for (size_t i = 0; i < parameters_.size(); ++i) {
        if (parameters_[i].name == name) return static_cast<int32_t>(i);
    }
    return -1;
}

bool Effect::SetTexture(int32_t parameter, const Texture* texture)
{
    if (parameter < 0 || static_cast<size_t>(parameter) >= parameters_.size()) return false;
    Parameter& p = parameters_[static_cast<size_t>(parameter)];
    if (p.type != ParameterType::Texture) return false;
    p.texture = texture;
    if (activePass_ >= 0 && !IsLost()) GetDevice()->SetTexture(static_cast<uint32_t>(p.unit), texture);
    return true;
}

bool Effect::SetFloat(int32_t parameter, float value)
{
    if (parameter < 0 || static_cast<size_t>(parameter) >= parameters_.size()) return false;
    Parameter& p = parameters_[static_cast<size_t>(parameter)];
    if (p.type != ParameterType::Float) return false;
    p.value = value;
    if (activePass_ >= 0 && !IsLost()) UploadFloat(passes_[static_cast<size_t>(activePass_)], static_cast<uint32_t>(parameter));
    return true;
}

void Effect::UploadFloat(const CompiledPass& pass, uint32_t parameter)
{
    Device& device = *GetDevice();
    const float value = parameters_[parameter].value;
    if (pass.engine.Name() != 0 && pass.engineLocations[parameter] >= 0) {
        device.UseProgram(pass.engine.Name());
        glUniform1f(pass.engineLocations[parameter], value);
    }
    if (pass.screen.Name() != 0 && pass.screenLocations[parameter] >= 0) {
        device.UseProgram(pass.screen.Name());
        glUniform1f(pass.screenLocations[parameter], value);
    }
}

uint32_t Effect::ReadState(const StateAssignment& a) const
{
    const Device& device = *GetDevice();
    switch (a.kind) {
    case StateKind::Render: return device.GetRenderState(static_cast<RenderState>(a.state));
    case StateKind::Sampler: return device.GetSamplerState(a.index, static_cast<SamplerState>(a.state));
    case StateKind::TextureStage: return device.GetTextureStageState(a.index, static_cast<TextureStageState>(a.state));
    }
    return 0;
}

void Effect::WriteState(const StateAssignment& a, uint32_t value)
{
    Device& device = *GetDevice();
    switch (a.kind) {
    case StateKind::Render: device.SetRenderState(static_cast<RenderState>(a.state), value); break;
    case StateKind::Sampler: device.SetSamplerState(a.index, static_cast<SamplerState>(a.state), value); break;
    case StateKind::TextureStage:
        device.SetTextureStageState(a.index, static_cast<TextureStageState>(a.state), value);
        break;
    }
}

void Effect::ForgetTexture(const Resource& texture)
{
    const auto same = [&](const Texture* t) { return t != nullptr && static_cast<const Resource*>(t) == &texture; };
    for (Parameter& parameter : parameters_) {
        if (same(parameter.texture)) parameter.texture = nullptr;
    }
    for (const Texture*& saved : savedTextures_) {
        if (same(saved)) saved = nullptr;
    }
}

bool Effect::Begin(uint32_t& passCount)
{
    if (IsLost() || begun_) return false;
    begun_ = true;
    passCount = static_cast<uint32_t>(passes_.size());
    return true;
}

bool Effect::BeginPass(uint32_t pass)
{
    if (IsLost() || !begun_ || activePass_ >= 0 || pass >= passes_.size()) return false;
    Device& device = *GetDevice();
    CompiledPass& p = passes_[pass];
    for (size_t i = 0; i < p.states.size(); ++i) {
        p.saved[i] = ReadState(p.states[i]);
        WriteState(p.states[i], p.states[i].value);
    }
    for (uint32_t i = 0; i < parameters_.size(); ++i) {
        const Parameter& parameter = parameters_[i];
        if (parameter.type == ParameterType::Texture) {
            const uint32_t unit = static_cast<uint32_t>(parameter.unit);
            savedTextures_[unit] = device.GetTexture(unit);
            device.SetTexture(unit, parameter.texture);
        } else {
            UploadFloat(p, i);
        }
    }
    previousPrograms_ = device.SetPassPrograms(&p.programs);
    activePass_ = static_cast<int32_t>(pass);
    return true;
}

bool Effect::EndPass()
{
    if (IsLost() || activePass_ < 0) return false;
    Device& device = *GetDevice();
    CompiledPass& p = passes_[static_cast<size_t>(activePass_)];
    for (size_t i = p.states.size(); i-- > 0;) WriteState(p.states[i], p.saved[i]);
    for (uint32_t unit = 0; unit < savedTextures_.size(); ++unit) device.SetTexture(unit, savedTextures_[unit]);
    device.SetPassPrograms(previousPrograms_);
    previousPrograms_ = nullptr;
    activePass_ = -1;
    return true;
}

bool Effect::End()
{
    if (IsLost() || !begun_) return false;
    if (activePass_ >= 0) EndPass();
    begun_ = false;
    return true;
}

}  // namespace platform::gfx
