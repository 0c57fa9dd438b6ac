#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PVertex.h"
#include "math/PMath.h"

// The model files of Data\Meshes, as records. Every value is little-endian; a node name is a
// 260-byte field holding a zero-terminated string.
//
// Static mesh file: reserved int32, nodeCount int32, the nodes, then optionally a matrix table
// (int32 count; per entry a string and 12 floats). A node: tag int32, name, [physics format:
// transform 28 bytes, body shape record 52 bytes], vertexCount int32, vertices (48 bytes each),
// indexCount int32, indices (uint16), boxCount int32, boxes (plain: 96-byte box records;
// physics: shape records), childCount int32, children.
//
// Vertex-animated file: two reserved int32, then the root node. An animated node: name,
// transform, body shape record, bounds shape record, the animation block (frameCount int32,
// frame time float in 1/2400 s, per frame vertexCount, vertices, indexCount, indices),
// shapeCount int32, shapes, childCount int32, children.
namespace modelfile {

constexpr size_t kNameSize = 260;
constexpr size_t kTransformSize = 28;
constexpr size_t kShapeSize = 52;
constexpr size_t kBoxSize = 96;
constexpr size_t kVertexSize = 48;
// Node trees deeper than this are refused.
constexpr int32_t kMaxDepth = 64;

// Shape record types; other values are kept in the file and skipped by the loader.
constexpr int32_t kShapeBox = 0;
constexpr int32_t kShapeCylinder = 1;

// A node's position and rotation; the node's rotation is the conjugate of the stored quaternion.
struct SPNodeTransform {
    PVector3 position{0.0f, 0.0f, 0.0f};
    PQuaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
};

// One record for a node's body, its collision shapes and the bounds of an animated node.
// A box's centre lies height / 2 above position; mass is stored × 100.
struct SPShapeRecord {
    int32_t type = kShapeBox;
    float sizeX = 0.0f;
    float height = 0.0f;
    float sizeY = 0.0f;
    PVector3 position{0.0f, 0.0f, 0.0f};
    PQuaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
    float diameter = 0.0f;
    float mass = 0.0f;
};

// A part box of the plain format: centre and half extents (the fourth values unused), then 64
// bytes that nothing reads (written as zeros).
struct SPBoxRecord {
    PVector4 centre{0.0f, 0.0f, 0.0f, 0.0f};
    PVector4 halfSize{0.0f, 0.0f, 0.0f, 0.0f};
};

struct SPMeshNode {
    int32_t tag = 0;
    std::string name;  // as stored
    SPNodeTransform transform;  // physics format only
    SPShapeRecord body;         // physics format only
    std::vector<SPVertex> vertices;
    std::vector<uint16_t> indices;
    std::vector<SPBoxRecord> boxes;     // plain format
    std::vector<SPShapeRecord> shapes;  // physics format
    std::vector<SPMeshNode> children;
};

struct SPMatrixEntry {
    std::string name;
    float values[12] = {};
};

struct SPMeshFile {
    bool physics = false;
    int32_t reserved = 0;
    std::vector<SPMeshNode> nodes;
    std::vector<SPMatrixEntry> matrices;  // the optional table after the nodes
    bool hasMatrixTable = false;
};

struct SPFrameRecord {
    std::vector<SPVertex> vertices;
    std::vector<uint16_t> indices;
};

struct SPAnimationBlock {
    float frameTimeTicks = 0.0f;
    std::vector<SPFrameRecord> frames;
};

struct SPAnimatedNode {
    std::string name;  // as stored
    SPNodeTransform transform;
    SPShapeRecord body;
    SPShapeRecord bounds;
    SPAnimationBlock animation;
    std::vector<SPShapeRecord> shapes;
    std::vector<SPAnimatedNode> children;
};

struct SPAnimatedFile {
    int32_t reserved[2] = {0, 0};
    SPAnimatedNode root;
};

// Whether a description's mesh file name selects the physics format: its last three
// characters, in any case, are "p3d".
bool IsPhysicsName(const std::string& meshName);

// Reads a whole static mesh file. False, with the reason in error and file in an unspecified
// state, when the data is not exactly one valid file: counts beyond the data, more than
// kMaxMeshVertices vertices in a node, an index count that is no multiple of 3 or an index
// past the node's vertices, a name without its terminating zero, a tree deeper than
// kMaxDepth, or bytes left over that are no matrix table. Nothing is allocated beyond what
// the data can hold, and nothing outside it is read.
bool ReadMeshFile(const uint8_t* data, size_t size, bool physics, SPMeshFile& file, std::string& error);
// The same for a vertex-animated file (frames are checked as nodes are).
bool ReadAnimatedFile(const uint8_t* data, size_t size, SPAnimatedFile& file, std::string& error);

// The bytes of a file; names longer than 259 bytes are cut.
std::vector<uint8_t> WriteMeshFile(const SPMeshFile& file);
std::vector<uint8_t> WriteAnimatedFile(const SPAnimatedFile& file);

}  // namespace modelfile
