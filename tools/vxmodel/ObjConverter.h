#pragma once
#include <string>

#include "Render/ModelFile.h"
#include "SideFile.h"

namespace vxmodel {

// Turns a Wavefront OBJ model into a static mesh file: one node per OBJ object or group (in
// the order they appear), nested and placed as the side file says, with part boxes (plain
// format) or body, position and collision shapes (physics format). Faces are triangulated, each
// node's corners welded by position, normal and texture coordinate, positions and normals turned
// from the OBJ's axes (y up) into the game's (z up, the OBJ's z becoming y), the winding made
// clockwise, v flipped; missing normals are averaged from the faces. False with the reason in
// error (a node over 65,535 vertices, a parent that does not exist or a cycle, a bad index).
bool ConvertObj(const std::string& objText, const SideFile& side, bool physics, modelfile::SPMeshFile& file,
                std::string& error);

// Gives a vertex-animated node the body (mass and box) and collision shapes that the side file
// gives its name; its bounds become the body's box.
void ApplySideToAnimatedNode(const SideFile& side, modelfile::SPAnimatedNode& node);

// The tree of a mesh file as text, one node a line, indented by depth: name, vertex and triangle
// counts, then (physics format) position, mass and body, and the boxes or shapes below it.
std::string DumpMeshFile(const modelfile::SPMeshFile& file);

}  // namespace vxmodel
