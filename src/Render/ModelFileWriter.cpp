#include <algorithm>
#include <bit>
#include <cstring>

#include "Render/ModelFile.h"

static_assert(std::endian::native == std::endian::little);

namespace modelfile {

namespace {

class Writer {
public:
    void Bytes(const void* bytes, size_t n) {
        const auto* begin = static_cast<const uint8_t*>(bytes);
        m_bytes.insert(m_bytes.end(), begin, begin + n);
    }
    void Int(int32_t value) { Bytes(&value, sizeof value); }
    void Float(float value) { Bytes(&value, sizeof value); }

    void Name(const std::string& name) {
        char field[kNameSize] = {};
        std::memcpy(field, name.data(), std::min(name.size(), kNameSize - 1));
        Bytes(field, kNameSize);
    }
    void Vector(const PVector3& v) {
        Float(v.x);
        Float(v.y);
        Float(v.z);
    }
    void Vector(const PVector4& v) {
        Float(v.x);
        Float(v.y);
        Float(v.z);
        Float(v.w);
    }
    void Quaternion(const PQuaternion& q) {
        Float(q.x);
        Float(q.y);
        Float(q.z);
        Float(q.w);
    }
    void Transform(const SPNodeTransform& t) {
        Vector(t.position);
        Quaternion(t.rotation);
    }
    void Shape(const SPShapeRecord& s) {
        Int(s.type);
        Float(s.sizeX);
        Float(s.height);
        Float(s.sizeY);
        Vector(s.position);
        Quaternion(s.rotation);
        Float(s.diameter);
        Float(s.mass);
    }
    void Shapes(const std::vector<SPShapeRecord>& shapes) {
        Int(static_cast<int32_t>(shapes.size()));
        for (const SPShapeRecord& shape : shapes) Shape(shape);
    }
    void Boxes(const std::vector<SPBoxRecord>& boxes) {
        Int(static_cast<int32_t>(boxes.size()));
        const uint8_t unused[kBoxSize - 32] = {};
        for (const SPBoxRecord& box : boxes) {
            Vector(box.centre);
            Vector(box.halfSize);
            Bytes(unused, sizeof unused);
        }
    }
    void Mesh(const std::vector<SPVertex>& vertices, const std::vector<uint16_t>& indices) {
        Int(static_cast<int32_t>(vertices.size()));
        Bytes(vertices.data(), vertices.size() * kVertexSize);
        Int(static_cast<int32_t>(indices.size()));
        Bytes(indices.data(), indices.size() * sizeof(uint16_t));
    }

    void MeshNode(const SPMeshNode& node, bool physics) {
        Int(node.tag);
        Name(node.name);
        if (physics) {
            Transform(node.transform);
            Shape(node.body);
        }
        Mesh(node.vertices, node.indices);
        if (physics) {
            Shapes(node.shapes);
        } else {
            Boxes(node.boxes);
        }
        Int(static_cast<int32_t>(node.children.size()));
        for (const SPMeshNode& child : node.children) MeshNode(child, physics);
    }

    void AnimatedNode(const SPAnimatedNode& node) {
        Name(node.name);
        Transform(node.transform);
        Shape(node.body);
        Shape(node.bounds);
        Int(static_cast<int32_t>(node.animation.frames.size()));
        Float(node.animation.frameTimeTicks);
        for (const SPFrameRecord& frame : node.animation.frames) Mesh(frame.vertices, frame.indices);
        Shapes(node.shapes);
        Int(static_cast<int32_t>(node.children.size()));
        for (const SPAnimatedNode& child : node.children) AnimatedNode(child);
    }

    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

}  // namespace

std::vector<uint8_t> WriteMeshFile(const SPMeshFile& file) {
    Writer writer;
    writer.Int(file.reserved);
    writer.Int(static_cast<int32_t>(file.nodes.size()));
    for (const SPMeshNode& node : file.nodes) writer.MeshNode(node, file.physics);
    if (file.hasMatrixTable) {
        writer.Int(static_cast<int32_t>(file.matrices.size()));
        for (const SPMatrixEntry& entry : file.matrices) {
            writer.Int(static_cast<int32_t>(entry.name.size()));
            writer.Bytes(entry.name.data(), entry.name.size());
            for (float value : entry.values) writer.Float(value);
        }
    }
    return writer.Take();
}

std::vector<uint8_t> WriteAnimatedFile(const SPAnimatedFile& file) {
    Writer writer;
    writer.Int(file.reserved[0]);
    writer.Int(file.reserved[1]);
    writer.AnimatedNode(file.root);
    return writer.Take();
}

}  // namespace modelfile
