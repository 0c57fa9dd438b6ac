#include "ObjConverter.h"

#include <tiny_obj_loader.h>

#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "Render/VertexBounds.h"

namespace vxmodel {

namespace {

using modelfile::SPMeshNode;

// Masses are stored × 100.
constexpr float kMassScale = 100.0f;
constexpr float kDegrees = 3.14159265f / 180.0f;

// OBJ axes (right-handed: x right, y up, z toward the viewer) into the game's (left-handed, z up):
// y and z swap places, so a model looks the same in the game as in the editor, with its front
// (the side the editor's viewer faced) toward +y.
PVector3 ToGame(const PVector3& obj) { return {obj.x, obj.z, obj.y}; }

PVector3 Cross(const PVector3& a, const PVector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

class ShapeBuilder {
public:
    ShapeBuilder(const tinyobj::attrib_t& attrib, std::string& error) : m_attrib(attrib), m_error(error) {}

    // The node's welded vertices and its triangles, wound clockwise; false on a bad index or too
    // many vertices.
    bool Build(const tinyobj::shape_t& shape, SPMeshNode& node) {
        m_corners.clear();
        m_sums.clear();
        const std::vector<tinyobj::index_t>& indices = shape.mesh.indices;
        for (size_t face = 0; face + 2 < indices.size(); face += 3) {
            uint16_t corner[3];
            for (int k = 0; k < 3; ++k) {
                if (!Corner(indices[face + static_cast<size_t>(k)], node, corner[k])) return false;
            }
            AddFaceNormal(node, corner);
            node.indices.insert(node.indices.end(), {corner[0], corner[2], corner[1]});
        }
        for (size_t i = 0; i < node.vertices.size(); ++i) {
            if (m_sums.count(i)) node.vertices[i].normal = Vec3Normalize(m_sums[i]);
        }
        return true;
    }

private:
    bool Corner(const tinyobj::index_t& index, SPMeshNode& node, uint16_t& corner) {
        const auto key = std::make_tuple(index.vertex_index, index.normal_index, index.texcoord_index);
        if (const auto found = m_corners.find(key); found != m_corners.end()) {
            corner = found->second;
            return true;
        }
        if (!InRange(index.vertex_index, m_attrib.vertices.size(), 3) ||
            (index.normal_index >= 0 && !InRange(index.normal_index, m_attrib.normals.size(), 3)) ||
            (index.texcoord_index >= 0 && !InRange(index.texcoord_index, m_attrib.texcoords.size(), 2))) {
            m_error = "a face names a vertex, normal or texture coordinate that does not exist";
            return false;
        }
        if (node.vertices.size() >= static_cast<size_t>(kMaxMeshVertices)) {
            m_error = "the object " + node.name + " has more than 65,535 vertices";
            return false;
        }
        SPVertex vertex{};
        vertex.position = ToGame(Triple(m_attrib.vertices, index.vertex_index));
        vertex.diffuse = 0xFFFFFFFFu;
        if (index.normal_index >= 0) {
            vertex.normal = Vec3Normalize(ToGame(Triple(m_attrib.normals, index.normal_index)));
        }
        if (index.texcoord_index >= 0) {
            const size_t at = static_cast<size_t>(index.texcoord_index) * 2;
            vertex.tex0 = {m_attrib.texcoords[at], 1.0f - m_attrib.texcoords[at + 1]};
        }
        corner = static_cast<uint16_t>(node.vertices.size());
        node.vertices.push_back(vertex);
        if (index.normal_index < 0) m_sums[corner] = {0.0f, 0.0f, 0.0f};
        m_corners.emplace(key, corner);
        return true;
    }

    // Corners without a normal of their own get the sum of their faces' normals.
    void AddFaceNormal(const SPMeshNode& node, const uint16_t (&corner)[3]) {
        const PVector3& a = node.vertices[corner[0]].position;
        const PVector3& b = node.vertices[corner[1]].position;
        const PVector3& c = node.vertices[corner[2]].position;
        // Counter-clockwise in the OBJ (the corners are still in its order), so (b - a) × (c - a)
        // points out there; swapping two axes turns the product around.
        const PVector3 normal = Cross(c - a, b - a);
        for (uint16_t k : corner) {
            if (const auto sum = m_sums.find(k); sum != m_sums.end()) sum->second = sum->second + normal;
        }
    }

    static bool InRange(int index, size_t size, size_t width) {
        return index >= 0 && static_cast<size_t>(index) < size / width;
    }
    static PVector3 Triple(const std::vector<float>& values, int index) {
        const size_t at = static_cast<size_t>(index) * 3;
        return {values[at], values[at + 1], values[at + 2]};
    }

    const tinyobj::attrib_t& m_attrib;
    std::string& m_error;
    std::map<std::tuple<int, int, int>, uint16_t> m_corners;
    std::map<size_t, PVector3> m_sums;
};

PQuaternion StoredTurn(float degrees) {
    const float half = degrees * kDegrees / 2.0f;
    return {0.0f, 0.0f, -std::sin(half), std::cos(half)};  // stored as the conjugate
}

modelfile::SPShapeRecord ShapeRecord(const SideShape& s) {
    modelfile::SPShapeRecord record;
    record.type = s.cylinder ? modelfile::kShapeCylinder : modelfile::kShapeBox;
    record.sizeX = s.size.x;
    record.height = s.size.y;
    record.sizeY = s.size.z;
    record.position = s.at;
    record.rotation = StoredTurn(s.turnDegrees);
    record.diameter = s.diameter;
    record.mass = s.mass * kMassScale;
    return record;
}

void AddShapes(const SideFile& side, bool physics, SPMeshNode& node) {
    for (const SideShape& s : side.shapes) {
        if (s.node != node.name) continue;
        if (physics) {
            node.shapes.push_back(ShapeRecord(s));
        } else if (!s.cylinder) {
            node.boxes.push_back({{s.at.x, s.at.y, s.at.z + s.size.y / 2.0f, 0.0f},
                                  {s.size.x / 2.0f, s.size.z / 2.0f, s.size.y / 2.0f, 0.0f}});
        }
    }
}

// Places a physics node: vertices relative to its pivot, position relative to its parent's,
// the body from the side file or the vertex bounds.
void PlaceNode(const SideNode* info, const PVector3& parentPivot, SPMeshNode& node) {
    const PVector3 pivot = info ? info->pivot : PVector3{0.0f, 0.0f, 0.0f};
    for (SPVertex& vertex : node.vertices) vertex.position = vertex.position - pivot;
    node.transform.position = pivot - parentPivot;
    SPVertexBounds bounds;
    for (const SPVertex& vertex : node.vertices) bounds.Add(vertex.position);
    const PVector3 size = node.vertices.empty() ? PVector3{0.0f, 0.0f, 0.0f} : bounds.high - bounds.low;
    const PVector3 body = info && info->hasBody ? info->body : PVector3{size.x, size.z, size.y};
    node.body.sizeX = body.x;
    node.body.height = body.y;
    node.body.sizeY = body.z;
    node.body.mass = (info ? info->mass : 0.0f) * kMassScale;
}

class TreeBuilder {
public:
    TreeBuilder(const SideFile& side, bool physics, std::map<std::string, SPMeshNode>& nodes, std::string& error)
        : m_side(side), m_physics(physics), m_nodes(nodes), m_error(error) {}

    // The node with its children (the nodes that name it as parent), in order.
    bool Build(const std::string& name, const std::vector<std::string>& order, const PVector3& parentPivot,
               int32_t depth, SPMeshNode& out) {
        if (depth >= modelfile::kMaxDepth) {
            m_error = "the parents of " + name + " go round in a circle or deeper than 64 levels";
            return false;
        }
        out = m_nodes[name];
        m_built.insert(name);
        const SideNode* info = m_side.Find(name);
        if (m_physics) PlaceNode(info, parentPivot, out);
        AddShapes(m_side, m_physics, out);
        const PVector3 pivot = info ? info->pivot : PVector3{0.0f, 0.0f, 0.0f};
        for (const std::string& child : order) {
            const SideNode* childInfo = m_side.Find(child);
            if (!childInfo || childInfo->parent != name) continue;
            out.children.emplace_back();
            if (!Build(child, order, pivot, depth + 1, out.children.back())) return false;
        }
        return true;
    }

    bool Built(const std::string& name) const { return m_built.count(name) != 0; }

private:
    std::set<std::string> m_built;
    const SideFile& m_side;
    bool m_physics;
    std::map<std::string, SPMeshNode>& m_nodes;
    std::string& m_error;
};

}  // namespace

bool ConvertObj(const std::string& objText, const SideFile& side, bool physics, modelfile::SPMeshFile& file,
                std::string& error) {
    tinyobj::ObjReaderConfig config;
    config.triangulate = true;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    if (!reader.ParseFromString(objText, "", config)) {
        error = "the OBJ cannot be read: " + reader.Error();
        return false;
    }
    std::map<std::string, SPMeshNode> nodes;
    std::vector<std::string> order;
    ShapeBuilder builder(reader.GetAttrib(), error);
    for (const tinyobj::shape_t& shape : reader.GetShapes()) {
        SPMeshNode& node = nodes[shape.name];
        if (node.name.empty()) order.push_back(shape.name);
        node.name = shape.name;
        if (!builder.Build(shape, node)) return false;
    }
    for (const SideNode& info : side.nodes) {
        if (!nodes.count(info.name)) order.push_back(info.name);
        nodes[info.name].name = info.name;
        if (!info.parent.empty() && !side.Find(info.parent) && !nodes.count(info.parent)) {
            error = "the parent " + info.parent + " of " + info.name + " is no node";
            return false;
        }
    }
    file = modelfile::SPMeshFile{};
    file.physics = physics;
    TreeBuilder tree(side, physics, nodes, error);
    for (const std::string& name : order) {
        const SideNode* info = side.Find(name);
        if (info && !info->parent.empty()) continue;
        file.nodes.emplace_back();
        if (!tree.Build(name, order, {0.0f, 0.0f, 0.0f}, 0, file.nodes.back())) return false;
    }
    for (const std::string& name : order) {
        if (tree.Built(name)) continue;
        error = "the parents of " + name + " go round in a circle";
        return false;
    }
    return true;
}

namespace {

void DumpNode(std::ostringstream& out, const SPMeshNode& node, bool physics, int depth) {
    const std::string indent(static_cast<size_t>(depth) * 2, ' ');
    out << indent << node.name << ": " << node.vertices.size() << " vertices, " << node.indices.size() / 3
        << " triangles";
    if (physics) {
        const PVector3& p = node.transform.position;
        out << ", position " << p.x << "," << p.y << "," << p.z << ", mass " << node.body.mass / kMassScale
            << ", body " << node.body.sizeX << "," << node.body.height << "," << node.body.sizeY;
    }
    out << "\n";
    for (const modelfile::SPBoxRecord& box : node.boxes) {
        out << indent << "  - box centre " << box.centre.x << "," << box.centre.y << "," << box.centre.z
            << " half " << box.halfSize.x << "," << box.halfSize.y << "," << box.halfSize.z << "\n";
    }
    for (const modelfile::SPShapeRecord& shape : node.shapes) {
        const char* kind = shape.type == modelfile::kShapeBox ? "box" : shape.type == modelfile::kShapeCylinder ? "cylinder" : "skipped";
        out << indent << "  - " << kind << " size " << shape.sizeX << "," << shape.height << "," << shape.sizeY
            << " diameter " << shape.diameter << " at " << shape.position.x << "," << shape.position.y << ","
            << shape.position.z << " mass " << shape.mass / kMassScale << "\n";
    }
    for (const SPMeshNode& child : node.children) DumpNode(out, child, physics, depth + 1);
}

}  // namespace

std::string DumpMeshFile(const modelfile::SPMeshFile& file) {
    std::ostringstream out;
    out << (file.physics ? "physics" : "plain") << " format, " << file.nodes.size() << " top-level node"
        << (file.nodes.size() == 1 ? "" : "s") << "\n";
    for (const SPMeshNode& node : file.nodes) DumpNode(out, node, file.physics, 0);
    if (file.hasMatrixTable) out << "matrix table: " << file.matrices.size() << " entries\n";
    return out.str();
}

void ApplySideToAnimatedNode(const SideFile& side, modelfile::SPAnimatedNode& node) {
    if (const SideNode* info = side.Find(node.name)) {
        node.body.sizeX = info->body.x;
        node.body.height = info->body.y;
        node.body.sizeY = info->body.z;
        node.body.mass = info->mass * kMassScale;
    }
    for (const SideShape& s : side.shapes) {
        if (s.node == node.name) node.shapes.push_back(ShapeRecord(s));
    }
    node.bounds = node.body;
}

}  // namespace vxmodel
