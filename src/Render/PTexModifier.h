#pragma once
#include <cstdint>
#include <memory>

struct SPVertex;

// A modifier changes a mesh's vertices each time they are written for drawing: it fades them,
// scrolls or animates their texture coordinates, or derives a second set of texture
// coordinates. A mesh owns a chain of them and runs them in order; each one advances its own
// clock by the frame delta whenever it is applied, so a mesh that is not drawn does not age its
// modifiers.
class IPTexModifier {
public:
    virtual ~IPTexModifier() = default;

    // Advances the modifier's state by dt seconds.
    virtual void Update(float dt) = 0;
    // Update with the frame delta, then writes n vertices: each destination vertex is the source
    // vertex with the modifier's change. destination and source may be the same array.
    virtual void Apply(SPVertex* destination, const SPVertex* source, int32_t n) = 0;
    // An independent copy with the same state.
    virtual std::unique_ptr<IPTexModifier> Clone() const = 0;
    // Back to the starting state.
    virtual void Reset() {}
};
