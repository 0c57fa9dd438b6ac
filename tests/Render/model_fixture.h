#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/ModelFile.h"

// Small model-file contents for the loader's tests.
namespace modeltest {

using namespace modelfile;

// A square of side 2 about the node's origin in the xy plane: 4 vertices, 2 triangles; every
// diffuse colour 0 so that the loader's colour shows.
inline void SetSquare(std::vector<SPVertex>& vertices, std::vector<uint16_t>& indices, float z = 0.0f) {
    vertices.clear();
    for (const auto& [x, y] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
        SPVertex vertex{};
        vertex.position = {x, y, z};
        vertex.normal = {0.0f, 0.0f, 1.0f};
        vertex.tex0 = {(x + 1.0f) / 2.0f, (y + 1.0f) / 2.0f};
        vertices.push_back(vertex);
    }
    indices = {0, 1, 2, 0, 2, 3};
}

inline SPMeshNode Node(const std::string& name, std::vector<SPMeshNode> children = {}) {
    SPMeshNode node;
    node.tag = 7;
    node.name = name;
    SetSquare(node.vertices, node.indices);
    node.children = std::move(children);
    return node;
}

inline SPShapeRecord Box(float sizeX, float height, float sizeY, PVector3 position, PQuaternion rotation = {0, 0, 0, 1}) {
    SPShapeRecord shape;
    shape.type = kShapeBox;
    shape.sizeX = sizeX;
    shape.height = height;
    shape.sizeY = sizeY;
    shape.position = position;
    shape.rotation = rotation;
    shape.mass = 100.0f;
    return shape;
}

inline SPMeshFile MeshFile(bool physics, std::vector<SPMeshNode> nodes) {
    SPMeshFile file;
    file.physics = physics;
    file.nodes = std::move(nodes);
    return file;
}

// An animated node with one frame of the square, the frame time 160 ticks.
inline SPAnimatedNode AnimatedNode(const std::string& name, std::vector<SPAnimatedNode> children = {}) {
    SPAnimatedNode node;
    node.name = name;
    node.animation.frameTimeTicks = 160.0f;
    node.animation.frames.resize(2);
    SetSquare(node.animation.frames[0].vertices, node.animation.frames[0].indices, 0.0f);
    SetSquare(node.animation.frames[1].vertices, node.animation.frames[1].indices, 1.0f);
    node.children = std::move(children);
    return node;
}

inline SPAnimatedFile AnimatedFile(SPAnimatedNode root) {
    SPAnimatedFile file;
    file.root = std::move(root);
    return file;
}

}  // namespace modeltest
