// The node readers of the object loader: one scene object per node of a model file.
#include "Render/ModelFile.h"
#include "Render/PAnimatedObject.h"
#include "Render/PAnimation.h"
#include "Render/PAnimationCache.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PRenderObject.h"
#include "Render/VertexBounds.h"
#include "core/TextHelpers.h"
#include "physics/PPhysicData.h"

namespace {

using modelfile::SPShapeRecord;

// Masses are stored × 100.
constexpr float kMassScale = 0.01f;
// The sizes a cylinder shape gets across its axis.
constexpr float kCylinderSide = 5.0f;

std::string LowerName(const std::string& stored) {
    std::string name = stored;
    return StrToLower(name);
}

TPtr<CPPhysicData> MakePhysicData(CPGameObject& object, const SPShapeRecord& body, float scale) {
    TPtr<CPPhysicData> physicData(new CPPhysicData(&object));
    physicData->mainShapeType = CPPhysicShape::Box;
    physicData->mainSizes = {body.height * scale, body.sizeX * scale, body.sizeY * scale};
    physicData->mass = body.mass * kMassScale;
    return physicData;
}

// Rotation by the conjugate of the stored quaternion, then the translation.
PMatrix PartMatrix(const PQuaternion& stored, const PVector3& translation) {
    return MatrixRotationQuaternion(QuaternionConjugate(stored)) *
           MatrixTranslation(translation.x, translation.y, translation.z);
}

// The collision shapes of a node, every length × scale: boxes become physics shapes (with the
// stored rotation) and part boxes (with its conjugate); cylinders physics shapes only (with the
// conjugate); other types are skipped.
void AddShapes(CPGameObject& object, CPPhysicData& physicData, const std::vector<SPShapeRecord>& shapes, float s) {
    for (const SPShapeRecord& r : shapes) {
        CPPhysicShape shape;
        shape.mass = r.mass * kMassScale;
        if (r.type == modelfile::kShapeBox) {
            const PVector3 centre{r.position.x * s, r.position.y * s, (r.position.z + r.height / 2.0f) * s};
            shape.type = CPPhysicShape::Box;
            shape.position = centre;
            shape.rotation = r.rotation;
            shape.s0 = r.sizeX * s;
            shape.s1 = r.height * s;
            shape.s2 = r.sizeY * s;
            CPObb part({0.0f, 0.0f, 0.0f, 0.0f}, {r.sizeX * s / 2.0f, r.sizeY * s / 2.0f, r.height * s / 2.0f, 0.0f});
            part.SetLocal(PartMatrix(r.rotation, centre));
            object.GetParts().push_back(part);
        } else if (r.type == modelfile::kShapeCylinder) {
            shape.type = CPPhysicShape::Cylinder;
            shape.position = r.position * s;
            shape.rotation = QuaternionConjugate(r.rotation);
            shape.s0 = kCylinderSide;
            shape.s1 = r.height * s;
            shape.s2 = kCylinderSide;
            shape.s3 = r.diameter * s;
        } else {
            continue;
        }
        physicData.shapes.push_back(shape);
    }
}

// A mesh of the node's vertices, every diffuse colour the given one.
TPtr<CPRenderObject> MakeMesh(CPGameObject& object, const modelfile::SPMeshNode& node, uint32_t colour) {
    TPtr<CPRenderObject> mesh(new CPRenderObject(&object));
    std::vector<SPVertex> vertices = node.vertices;
    for (SPVertex& vertex : vertices) vertex.diffuse = colour;
    mesh->SetGeometry(std::move(vertices), node.indices);
    object.SetAttachment(CPGameObject::kMesh, mesh);
    return mesh;
}

}  // namespace

TPtr<CPGameObject> CPObjectLoader::ReadMeshNode(const modelfile::SPMeshNode& node, const SPObjectDescription& description,
                                                int32_t layerBase) {
    const std::string name = LowerName(node.name);
    TPtr<CPGameObject> object(new CPGameObject(name));
    MakeMesh(*object, node, m_vertexColour);
    for (const modelfile::SPBoxRecord& box : node.boxes) object->GetParts().emplace_back(box.centre, box.halfSize);
    for (const modelfile::SPMeshNode& child : node.children) {
        object->AddChild(ReadMeshNode(child, description, layerBase));
    }
    ConfigurePart(object, description.PropertiesOf(name), layerBase);
    return object;
}

TPtr<CPGameObject> CPObjectLoader::ReadPhysicsNode(const modelfile::SPMeshNode& node,
                                                   const SPObjectDescription& description, int32_t layerBase) {
    const std::string name = LowerName(node.name);
    TPtr<CPGameObject> object(new CPGameObject(name));
    TPtr<CPPhysicData> physicData = MakePhysicData(*object, node.body, 1.0f);
    object->SetPhysicData(physicData);
    object->SetPosition(node.transform.position);
    object->SetRotation(QuaternionConjugate(node.transform.rotation));
    MakeMesh(*object, node, m_vertexColour);
    SPVertexBounds bounds;
    for (const SPVertex& vertex : node.vertices) bounds.Add(vertex.position);
    object->SetObb(bounds.Box());
    AddShapes(*object, *physicData, node.shapes, 1.0f);
    for (const modelfile::SPMeshNode& child : node.children) {
        object->AddChild(ReadPhysicsNode(child, description, layerBase));
    }
    ConfigurePart(object, description.PropertiesOf(name), layerBase);
    return object;
}

TPtr<CPGameObject> CPObjectLoader::ReadAnimatedNode(const modelfile::SPAnimatedNode& node,
                                                    const SPObjectDescription& description, int32_t layerBase,
                                                    const std::string& animationName) {
    const float s = description.scale;
    const std::string name = LowerName(node.name);
    TPtr<CPGameObject> object(new CPGameObject(name));
    TPtr<CPPhysicData> physicData = MakePhysicData(*object, node.body, s);
    object->SetPhysicData(physicData);

    TPtr<CPAnimatedObject> animated(new CPAnimatedObject(object.Get()));
    animated->scale = s;
    animated->speed = description.speed;
    object->SetAttachment(CPGameObject::kAnimated, animated);
    TPtr<CPAnimation> animation;
    if (CPAnimationCache* cache = GetAnimationCache()) {
        animation = cache->GetAnimation(name + "&" + m_animationFileName, node.animation, s);
        animated->AddAnimation(animationName, animation);
    }

    const SPShapeRecord& b = node.bounds;
    if (b.mass > 0.0f) {
        CPObb box({0.0f, 0.0f, 0.0f, 0.0f}, {b.sizeX * s, b.sizeY * s, b.height * s, 0.0f});
        box.SetLocal(PartMatrix(b.rotation, {b.position.x * s, b.position.y * s, (b.position.z + b.height / 2.0f) * s}));
        object->SetObb(box);
    } else if (animation) {
        object->SetObb(animation->GetBox());
    }
    AddShapes(*object, *physicData, node.shapes, s);
    for (const modelfile::SPAnimatedNode& child : node.children) {
        object->AddChild(ReadAnimatedNode(child, description, layerBase, animationName));
    }
    ConfigurePart(object, description.PropertiesOf(name), layerBase);
    return object;
}

void CPObjectLoader::AddAnimationNode(const TPtr<CPGameObject>& object, const modelfile::SPAnimatedNode& node,
                                      const std::string& animationName, float scale, float speed) {
    if (!object) return;
    CPAnimatedObject* animated = object->GetAttachment().Get<CPAnimatedObject>();
    CPAnimationCache* cache = GetAnimationCache();
    if (animated && cache) {
        animated->scale = scale;
        animated->speed = speed;
        animated->AddAnimation(animationName,
                               cache->GetAnimation(object->GetName() + "&" + m_animationFileName, node.animation, scale));
    }
    for (const modelfile::SPAnimatedNode& child : node.children) {
        AddAnimationNode(object->GetChild(child.name), child, animationName, scale, speed);
    }
}
