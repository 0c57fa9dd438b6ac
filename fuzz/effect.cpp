// Effect files (.fx): the parser the renderer runs before it compiles the shaders.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gfx/EffectParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::gfx::EffectDescription description;
    std::string error;
    platform::gfx::ParseEffect(std::string_view(reinterpret_cast<const char*>(data), size), description, error);
    return 0;
}
