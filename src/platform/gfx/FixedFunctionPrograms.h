#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "platform/gfx/RenderStates.h"
#include "platform/gfx/ShaderProgram.h"

namespace platform::gfx {

// The device's built-in programs (the fixed-function vertex processing and texture cascade), one
// per combination of the states that steer them: lighting and specular on or off, both stages'
// colour and alpha operations and arguments, and the alpha test and its comparison. Those states
// are constants of the program, so the shader compiler drops the stages, texture reads and
// branches they leave unused: a software rasteriser shades every pixel with only the work its
// states ask for. What stays in the uniform blocks: the alpha reference, lights, material,
// ambient and transforms. A program is built the first time a draw needs its combination.
class FixedFunctionPrograms {
public:
    using StageStates = uint32_t[static_cast<uint32_t>(TextureStageState::Count)];

    // The steering states of the device, packed. Values outside their enumeration count as the
    // value the built-in code treats them like.
    static uint64_t KeyOf(const uint32_t* renderStates, const StageStates* stageStates);
    // The #defines that fix the states of key in the built-in code (ShaderParts::steering).
    static std::string Steering(uint64_t key);

    // The program for the vertices of kind under the states of key; null when it cannot be built
    // (the compiler's messages in LastFailure).
    const ShaderProgram* Get(VertexKind kind, uint64_t key);
    const std::string& LastFailure() const { return failure_; }
    // Deletes every program.
    void Release();

private:
    struct Variant {
        uint64_t key = 0;
        ShaderProgram programs[2];  // by VertexKind, empty until needed
        bool failed[2] = {};
    };

    Variant& VariantOf(uint64_t key);

    std::deque<Variant> variants_;
    std::string failure_;
};

}  // namespace platform::gfx
