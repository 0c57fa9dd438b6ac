// Vertex effects of object descriptions: one "keyword argument..." a line (blank-separated, as
// the object files write them), each made into its modifier, which then runs for a few frames
// of varied length over a small mesh, is cloned and reset.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Render/PVertex.h"
#include "Render/TexModifierFactory.h"
#include "core/PGlobalTimer.h"
#include "core/PTextReader.h"
#include "core/PTokenizer.h"

namespace {

// Frame lengths from a paused frame to a very long stall.
constexpr float kFrameDeltas[] = {0.0f, 0.016f, 0.1f, 2.5f, 3600.0f};

void Run(IPTexModifier& modifier)
{
    SPVertex vertices[3] = {};
    vertices[1].normal = {0.0f, 1.0f, 0.0f};
    vertices[2].tex0 = {1.0f, 1.0f};
    for (const float delta : kFrameDeltas) {
        g_frameDelta = delta;
        modifier.Apply(vertices, vertices, 3);
        modifier.Update(delta);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPTextReader reader(data, static_cast<int32_t>(size));
    std::string line;
    while (reader.ReadLine(line)) {
        CPTokenizer tokenizer(line, " ", false);
        std::string keyword;
        tokenizer.NextToken(keyword);
        std::vector<std::string> arguments;
        for (std::string argument; tokenizer.NextToken(argument);) arguments.push_back(argument);
        const std::unique_ptr<IPTexModifier> modifier = CreateTexModifier(keyword, arguments);
        if (!modifier) continue;
        Run(*modifier);
        const std::unique_ptr<IPTexModifier> clone = modifier->Clone();
        modifier->Reset();
        Run(*clone);
    }
    return 0;
}
