#pragma once
#include <cstdint>

#include "core/PMMObject.h"
#include "core/PSmartPointer.h"

struct SPVertex;
class CPMaterial;

// What a render block draws: a mesh part, a sprite, a vertex-animated mesh or a particle batch.
// The block asks for the counts, reserves that much room in the frame's streaming buffer and
// lets the object write its geometry there.
class CPRenderObjectBase : public IPMMObject {
public:
    // How the geometry reaches the device.
    enum Type : int32_t {
        Dynamic = 0,   // written into the streaming buffer every frame by WriteGeometry
        Static = 1,    // drawn from prebuilt mesh buffers with the object's world matrix
        Animated = 2,  // drawn from the mesh buffers of the current animation frame
    };

    virtual int32_t GetType() const = 0;
    // Stores the type where the class supports it.
    virtual void SetType(int32_t type) = 0;
    // Vertices and indices that WriteGeometry writes.
    virtual int32_t GetVertexCount() const = 0;
    virtual int32_t GetIndexCount() const = 0;
    // Writes the vertices and the indices, each index plus base. The destinations hold at least
    // GetVertexCount vertices and GetIndexCount indices.
    virtual void WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) = 0;
    // The material to draw with.
    virtual TPtr<CPMaterial> GetMaterial() const = 0;
};
