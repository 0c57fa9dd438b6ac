#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "math/PMath.h"
#include "math/PVector2.h"

class CPGameObject;
class CPRenderObject;

// The camera-facing quads of tracers and plasma bolts: four white vertices in world space,
// drawn as the triangles 0, 1, 2 and 0, 2, 3. Their object stays at the origin unturned, so
// that its world matrix leaves the vertices where they are written.

// Makes the mesh a quad with the texture coordinates of its four corners.
void BuildQuad(CPRenderObject& mesh, const std::array<PVector2, 4>& uv);
// Gives the mesh the material of the effect and texture on the layer, then makes it a quad.
void BuildTexturedQuad(CPRenderObject& mesh, int32_t layer, const std::string& effect, const std::string& texture,
                       const std::array<PVector2, 4>& uv);
// Moves the quad's corners and has the owner place them again at its next draw.
void PlaceQuad(CPRenderObject& mesh, CPGameObject& owner, const std::array<PVector3, 4>& corners);
// Keeps the owner at the origin, unturned.
void ResetQuadOwner(CPGameObject& owner);
