#include <bit>
#include <cmath>
#include <cstring>

#include "Render/ModelFile.h"
#include "core/PBinaryReader.h"
#include "core/TextHelpers.h"

// Vertices and indices are copied as they are stored: the file's byte order is the machine's.
static_assert(std::endian::native == std::endian::little);

namespace modelfile {

namespace {

// The fewest bytes a node, a frame or a matrix entry can take, to bound counts by the data left.
constexpr size_t kMinPlainNode = 4 + kNameSize + 4 * 4;
constexpr size_t kMinPhysicsNode = kMinPlainNode + kTransformSize + kShapeSize;
constexpr size_t kMinAnimatedNode = kNameSize + kTransformSize + 2 * kShapeSize + 2 * 4 + 2 * 4;
constexpr size_t kMinFrame = 2 * 4;
constexpr size_t kMinMatrixEntry = 4 + 12 * 4;

class Parser {
public:
    Parser(const uint8_t* data, size_t size, std::string& error) : m_reader(data, size), m_error(error) {}

    bool Fail(const std::string& why) {
        if (m_error.empty()) m_error = why + " (at byte " + std::to_string(m_reader.GetPosition()) + ")";
        return false;
    }
    bool Ok() const { return m_error.empty(); }
    size_t Remaining() const { return m_reader.GetRemaining(); }

    bool Int(int32_t& value) {
        value = m_reader.ReadInt();
        return !m_reader.HasFailed() || Fail("the data ends early");
    }
    bool Float(float& value) {
        value = m_reader.ReadFloat();
        return !m_reader.HasFailed() || Fail("the data ends early");
    }
    bool Bytes(void* destination, size_t n) { return m_reader.Read(destination, n) || Fail("the data ends early"); }

    // A count that the rest of the data can hold with at least minSize bytes per item.
    bool Count(int32_t& count, size_t minSize, const char* what) {
        if (!Int(count)) return false;
        if (count < 0) return Fail(std::string("a negative ") + what + " count");
        if (static_cast<size_t>(count) > Remaining() / minSize) return Fail(std::string("a ") + what + " count beyond the data");
        return true;
    }

    bool Name(std::string& name) {
        char field[kNameSize];
        if (!Bytes(field, kNameSize)) return false;
        const size_t length = strnlen(field, kNameSize);
        if (length == kNameSize) return Fail("a name without its terminating zero");
        name.assign(field, length);
        return true;
    }

    bool Vector(PVector3& v) { return Float(v.x) && Float(v.y) && Float(v.z); }
    bool Vector(PVector4& v) { return Float(v.x) && Float(v.y) && Float(v.z) && Float(v.w); }
    bool Quaternion(PQuaternion& q) { return Float(q.x) && Float(q.y) && Float(q.z) && Float(q.w); }

    bool Transform(SPNodeTransform& t) { return Vector(t.position) && Quaternion(t.rotation); }

    bool Shape(SPShapeRecord& s) {
        return Int(s.type) && Float(s.sizeX) && Float(s.height) && Float(s.sizeY) && Vector(s.position) &&
               Quaternion(s.rotation) && Float(s.diameter) && Float(s.mass);
    }

    bool Shapes(std::vector<SPShapeRecord>& shapes) {
        int32_t count = 0;
        if (!Count(count, kShapeSize, "shape")) return false;
        shapes.resize(static_cast<size_t>(count));
        for (SPShapeRecord& shape : shapes) {
            if (!Shape(shape)) return false;
        }
        return true;
    }

    bool Boxes(std::vector<SPBoxRecord>& boxes) {
        int32_t count = 0;
        if (!Count(count, kBoxSize, "box")) return false;
        boxes.resize(static_cast<size_t>(count));
        uint8_t unused[kBoxSize - 32];
        for (SPBoxRecord& box : boxes) {
            if (!Vector(box.centre) || !Vector(box.halfSize) || !Bytes(unused, sizeof unused)) return false;
        }
        return true;
    }

    // A vertex list and its triangle list.
    bool Mesh(std::vector<SPVertex>& vertices, std::vector<uint16_t>& indices) {
        int32_t vertexCount = 0;
        if (!Count(vertexCount, kVertexSize, "vertex")) return false;
        if (vertexCount > kMaxMeshVertices) return Fail("more than 65,535 vertices in one mesh");
        vertices.resize(static_cast<size_t>(vertexCount));
        if (!Bytes(vertices.data(), vertices.size() * kVertexSize)) return false;
        int32_t indexCount = 0;
        if (!Count(indexCount, sizeof(uint16_t), "index")) return false;
        if (indexCount % 3 != 0) return Fail("an index count that is no multiple of 3");
        indices.resize(static_cast<size_t>(indexCount));
        if (!Bytes(indices.data(), indices.size() * sizeof(uint16_t))) return false;
        for (uint16_t index : indices) {
            if (index >= vertexCount) return Fail("an index past the last vertex");
        }
        return true;
    }

    bool Enter(int32_t depth) { return depth < kMaxDepth || Fail("a node tree deeper than 64 levels"); }

    bool MeshNode(SPMeshNode& node, bool physics, int32_t depth) {
        if (!Enter(depth) || !Int(node.tag) || !Name(node.name)) return false;
        if (physics && (!Transform(node.transform) || !Shape(node.body))) return false;
        if (!Mesh(node.vertices, node.indices)) return false;
        if (!(physics ? Shapes(node.shapes) : Boxes(node.boxes))) return false;
        int32_t childCount = 0;
        if (!Count(childCount, physics ? kMinPhysicsNode : kMinPlainNode, "child")) return false;
        node.children.resize(static_cast<size_t>(childCount));
        for (SPMeshNode& child : node.children) {
            if (!MeshNode(child, physics, depth + 1)) return false;
        }
        return true;
    }

    bool MatrixTable(std::vector<SPMatrixEntry>& entries) {
        int32_t count = 0;
        if (!Count(count, kMinMatrixEntry, "matrix")) return false;
        entries.resize(static_cast<size_t>(count));
        for (SPMatrixEntry& entry : entries) {
            int32_t length = 0;
            if (!Count(length, 1, "name length")) return false;
            entry.name.resize(static_cast<size_t>(length));
            if (!Bytes(entry.name.data(), entry.name.size())) return false;
            for (float& value : entry.values) {
                if (!Float(value)) return false;
            }
        }
        return true;
    }

    bool AnimationBlock(SPAnimationBlock& block) {
        int32_t frameCount = 0;
        if (!Int(frameCount)) return false;
        if (frameCount < 0) return Fail("a negative frame count");
        if (!Float(block.frameTimeTicks)) return false;
        if (!std::isfinite(block.frameTimeTicks)) return Fail("a frame time that is not a finite number");
        if (static_cast<size_t>(frameCount) > Remaining() / kMinFrame) return Fail("a frame count beyond the data");
        block.frames.resize(static_cast<size_t>(frameCount));
        for (SPFrameRecord& frame : block.frames) {
            if (!Mesh(frame.vertices, frame.indices)) return false;
        }
        return true;
    }

    bool AnimatedNode(SPAnimatedNode& node, int32_t depth) {
        if (!Enter(depth) || !Name(node.name) || !Transform(node.transform) || !Shape(node.body) ||
            !Shape(node.bounds) || !AnimationBlock(node.animation) || !Shapes(node.shapes)) {
            return false;
        }
        int32_t childCount = 0;
        if (!Count(childCount, kMinAnimatedNode, "child")) return false;
        node.children.resize(static_cast<size_t>(childCount));
        for (SPAnimatedNode& child : node.children) {
            if (!AnimatedNode(child, depth + 1)) return false;
        }
        return true;
    }

    bool AtEnd() { return Remaining() == 0 || Fail("bytes left over after the last node"); }

private:
    CPBinaryReader m_reader;
    std::string& m_error;
};

}  // namespace

bool IsPhysicsName(const std::string& meshName) {
    if (meshName.size() < 3) return false;
    std::string ending = meshName.substr(meshName.size() - 3);
    return StrToLower(ending) == "p3d";
}

bool ReadMeshFile(const uint8_t* data, size_t size, bool physics, SPMeshFile& file, std::string& error) {
    error.clear();
    Parser parser(data, size, error);
    file = SPMeshFile{};
    file.physics = physics;
    int32_t nodeCount = 0;
    if (!parser.Int(file.reserved) || !parser.Count(nodeCount, physics ? kMinPhysicsNode : kMinPlainNode, "node")) {
        return false;
    }
    file.nodes.resize(static_cast<size_t>(nodeCount));
    for (SPMeshNode& node : file.nodes) {
        if (!parser.MeshNode(node, physics, 0)) return false;
    }
    if (parser.Remaining() > 0) {
        file.hasMatrixTable = true;
        if (!parser.MatrixTable(file.matrices)) return false;
    }
    return parser.AtEnd();
}

bool ReadAnimatedFile(const uint8_t* data, size_t size, SPAnimatedFile& file, std::string& error) {
    error.clear();
    Parser parser(data, size, error);
    file = SPAnimatedFile{};
    return parser.Int(file.reserved[0]) && parser.Int(file.reserved[1]) && parser.AnimatedNode(file.root, 0) &&
           parser.AtEnd();
}

}  // namespace modelfile
