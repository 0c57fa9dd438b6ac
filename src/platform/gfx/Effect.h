#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Device.h"
#include "platform/gfx/EffectParser.h"
#include "platform/gfx/Resource.h"
#include "platform/gfx/ShaderProgram.h"

namespace platform::gfx {

class Texture;

// A compiled effect file (see "Effect files" in docs/modding.md): the first technique whose passes all compile,
// with its parameters. Drawing with it:
//   Begin(passes); for each pass: BeginPass(i); draw ...; EndPass(); End();
// A pass sets its states when it begins and puts back what they were when it ends, so it
// changes no state outside itself. Made by Device::CreateEffect.
class Effect : public Resource {
public:
    ~Effect() override;

    uint32_t TechniqueCount() const { return static_cast<uint32_t>(techniqueNames_.size()); }
    const std::string& TechniqueName(uint32_t technique) const { return techniqueNames_.at(technique); }
    // The technique in use: the first one that compiled.
    uint32_t ActiveTechnique() const { return activeTechnique_; }

    uint32_t ParameterCount() const { return static_cast<uint32_t>(parameters_.size()); }
    const std::string& ParameterName(uint32_t parameter) const { return parameters_.at(parameter).name; }
    ParameterType GetParameterType(uint32_t parameter) const { return parameters_.at(parameter).type; }
    // The parameter's index, or -1 when the effect has none of that name.
    int32_t FindParameter(std::string_view name) const;
    // False for a parameter of another type or index. Null textures sample opaque white.
    bool SetTexture(int32_t parameter, const Texture* texture);
    bool SetFloat(int32_t parameter, float value);

    bool Begin(uint32_t& passCount);
    bool BeginPass(uint32_t pass);
    bool EndPass();
    bool End();

private:
    friend class Device;

    struct Parameter {
        std::string name;
        ParameterType type;
        int32_t unit;  // textures: the stage they are bound to
        const Texture* texture = nullptr;
        float value = 0.0f;
    };
    struct CompiledPass {
        ShaderProgram engine;  // empty where the built-in program serves
        ShaderProgram screen;
        Device::PassPrograms programs{};
        std::vector<int32_t> engineLocations;  // of float parameters, by parameter index
        std::vector<int32_t> screenLocations;
        std::vector<StateAssignment> states;
        std::vector<uint32_t> saved;  // what the states were before the pass began
    };

    static std::unique_ptr<Effect> Create(Device& device, std::string_view source, std::string& messages);
    explicit Effect(Device& device);
    void ReleaseStorage() override;
    bool Build(std::string_view source, std::string& messages);
    bool CompileTechnique(const EffectDescription& description, uint32_t technique, std::string& messages);
    bool CompilePass(const EffectDescription& description, const EffectDescription::Pass& pass,
                     CompiledPass& compiled, std::string& log);
    void UploadFloat(const CompiledPass& pass, uint32_t parameter);
    uint32_t ReadState(const StateAssignment& assignment) const;
    void WriteState(const StateAssignment& assignment, uint32_t value);
    // The texture is being destroyed: no parameter or saved stage keeps it.
    void ForgetTexture(const Resource& texture);

    std::vector<std::string> techniqueNames_;
    uint32_t activeTechnique_ = 0;
    std::vector<Parameter> parameters_;
    std::vector<CompiledPass> passes_;
    std::vector<const Texture*> savedTextures_;  // what the texture stages held before the pass
    bool begun_ = false;
    int32_t activePass_ = -1;
    const Device::PassPrograms* previousPrograms_ = nullptr;
};

}  // namespace platform::gfx
