#pragma once
#include <string>
#include <vector>

#include "math/PMath.h"

// What an OBJ file cannot say about a model, from a small text file beside it (the OBJ's name
// with ".side" in place of ".obj"). One item a line, '#' starts a comment; lengths in the game's
// axes (the OBJ's x, z and y: z is up), masses in the physics world's units (a car its springs
// carry weighs about 12; the file stores them × 100):
//
//   node <name> [parent=<name>] [pivot=x,y,z] [mass=m] [body=sizeX,height,sizeY]
//   box <node> size=sizeX,height,sizeY at=x,y,z [turn=degrees] [mass=m]
//   cylinder <node> height=h diameter=d at=x,y,z [mass=m]
//
// A node's pivot is its origin in the model (its vertices are stored relative to it, its
// position relative to its parent's pivot); body gives its physics box (the bounds of its
// vertices when absent). A box stands on "at" (its centre lies height / 2 above) and turns about
// z by turn; a cylinder is centred on "at". Shapes and part boxes are in the node's space.
namespace vxmodel {

struct SideNode {
    std::string name;
    std::string parent;
    PVector3 pivot{0.0f, 0.0f, 0.0f};
    float mass = 0.0f;
    bool hasBody = false;
    PVector3 body{0.0f, 0.0f, 0.0f};  // sizeX, height, sizeY
};

struct SideShape {
    bool cylinder = false;
    std::string node;
    PVector3 size{0.0f, 0.0f, 0.0f};  // box: sizeX, height, sizeY; cylinder: 0, height, 0
    float diameter = 0.0f;
    PVector3 at{0.0f, 0.0f, 0.0f};
    float turnDegrees = 0.0f;
    float mass = 0.0f;
};

struct SideFile {
    std::vector<SideNode> nodes;
    std::vector<SideShape> shapes;

    const SideNode* Find(const std::string& name) const;
};

// False with "line N: ..." in error for a line it cannot read.
bool ParseSideFile(const std::string& text, SideFile& side, std::string& error);

}  // namespace vxmodel
