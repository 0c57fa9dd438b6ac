// How the object loader configures a node from its properties, and the sprites, lights and
// emitters of a description.
#include <algorithm>

#include "Render/PAnimatedObject.h"
#include "Render/PGameObject.h"
#include "Render/PLight.h"
#include "Render/PMaterialManager.h"
#include "Render/PObjectLoader.h"
#include "Render/PParticleSystem.h"
#include "Render/PPartAnimation.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Render/PSprite.h"
#include "Render/TexModifierFactory.h"
#include "core/FieldNumbers.h"
#include "core/Fields.h"
#include "core/PFileFinder.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "core/TextHelpers.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"

namespace {

// The layer and effects of the materials the loader chooses itself.
constexpr int32_t kShadowLayer = 16;
constexpr int32_t kDamagedLayer = 20;
constexpr char kHoleyEffect[] = "holey.fx";
constexpr char kHoleyTreeEffect[] = "holey_tree.fx";
constexpr char kHoleyShadowEffect[] = "holey_shadow.fx";
// The highest flame template and damage class a "flametype" gives.
constexpr int32_t kMaxFlameType = 3;

const std::string* Find(const PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    return found == properties.end() ? nullptr : &found->second;
}

std::string ValueOf(const PropertyMap& properties, const char* key) {
    const std::string* value = Find(properties, key);
    return value ? *value : std::string();
}

// False, with a log line, when a number of the sprite, light or psystem line was not finite: the
// line is left out.
bool Usable(const CPFieldNumbers& numbers, const SPObjectDescription& description, const char* key,
            const std::string& name) {
    if (numbers.AllFinite()) return true;
    GetLog()->Print(0, "%s: the %s \"%s\" left out: a number of it is not finite\n", description.path.c_str(), key,
                    name.c_str());
    return false;
}

TPtr<CPMaterial> Material(int32_t layer, const std::string& effect, const std::vector<std::string>& textures) {
    CPMaterialManager* materials = GetMaterialManager();
    return materials ? materials->GetMaterial(layer, effect, textures) : nullptr;
}

// texturefile1 (empty when absent), then texturefile2..4 where present.
std::vector<std::string> Textures(const PropertyMap& properties) {
    std::vector<std::string> textures{ValueOf(properties, "texturefile1")};
    for (const char* key : {"texturefile2", "texturefile3", "texturefile4"}) {
        if (const std::string* texture = Find(properties, key)) textures.push_back(*texture);
    }
    return textures;
}

void SetMaterial(CPGameObject& object, const TPtr<CPMaterial>& material) {
    switch (object.GetKind()) {
    case CPGameObject::kMesh:
        if (auto* mesh = object.GetAttachment().Get<CPRenderObject>()) mesh->SetMaterial(material);
        break;
    case CPGameObject::kAnimated:
        if (auto* animated = object.GetAttachment().Get<CPAnimatedObject>()) animated->SetMaterial(material);
        break;
    case CPGameObject::kSprite:
        if (auto* sprite = object.GetAttachment().Get<CPSprite>()) sprite->SetMaterial(material);
        break;
    default:
        break;
    }
}

void ApplyFlags(CPGameObject& object, const PropertyMap& properties) {
    if (const std::string* value = Find(properties, "visible")) object.SetVisible(AtoI(*value) != 0);
    if (const std::string* value = Find(properties, "shadow")) object.SetShadow(AtoI(*value) != 0);
    if (const std::string* value = Find(properties, "param")) object.SetParam(*value);
    if (const std::string* value = Find(properties, "collision")) object.SetCollision(AtoI(*value) != 0);
    if (const std::string* value = Find(properties, "flametype")) {
        const int32_t type = AtoI(*value);
        object.SetFlameIndex(std::min(type, kMaxFlameType));
        object.SetDamageClass(std::min(type, kMaxFlameType));
        object.SetHealth(static_cast<float>(type));
        object.SetReward(static_cast<float>(type));
    }
}

// The damaged material, when "<first texture up to its first dot>_fire.tga" is on disk.
void SetDamagedMaterial(CPGameObject& object, const std::string& firstTexture) {
    const std::string name = firstTexture.substr(0, firstTexture.find('.')) + "_fire.tga";
    CPFileFinder finder("Data\\Textures\\" + name);
    if (finder.FindFirst() == S_OK) object.SetDamagedMaterial(Material(kDamagedLayer, kHoleyEffect, {name}));
}

void AddVertexEffects(CPGameObject& object, const std::string& effects) {
    for (const std::string& item : SplitFields(effects, ";")) {
        const size_t blank = item.find(' ');
        const std::string keyword = item.substr(0, blank);
        const std::vector<std::string> arguments =
            blank == std::string::npos ? std::vector<std::string>{} : SplitFields(item.substr(blank + 1), ",");
        std::unique_ptr<IPTexModifier> modifier = CreateTexModifier(keyword, arguments);
        if (!modifier) continue;
        if (auto* mesh = object.GetAttachment().Get<CPRenderObject>(); mesh && object.GetKind() == CPGameObject::kMesh) {
            mesh->AddVertexEffect(std::move(modifier));
            object.SetStatic(false);
        } else if (auto* animated = object.GetAttachment().Get<CPAnimatedObject>();
                   animated && object.GetKind() == CPGameObject::kAnimated) {
            animated->AddModifier(std::move(modifier));
            object.SetStatic(false);
        }
    }
}

// Without vertex effects a mesh (other than "land") is uploaded once and drawn from the
// renderer's mesh cache; an animated object draws its frames' meshes.
void MakeStatic(CPObjectLoader& loader, CPGameObject& object) {
    if (object.GetKind() == CPGameObject::kAnimated) {
        auto* animated = object.GetAttachment().Get<CPAnimatedObject>();
        if (animated && animated->GetType() == CPRenderObjectBase::Dynamic) animated->SetType(CPRenderObjectBase::Animated);
        return;
    }
    auto* mesh = object.GetAttachment().Get<CPRenderObject>();
    CPRender* render = GetRender();
    if (object.GetKind() != CPGameObject::kMesh || !mesh || mesh->GetType() != CPRenderObjectBase::Dynamic ||
        object.GetName() == "land" || !render || mesh->GetVertices().empty()) {
        return;
    }
    const std::string key = loader.MeshKey(object.GetName());
    SPMeshBuffers* buffers = render->GetMeshBuffers(key, mesh->GetVertices().data(), mesh->GetIndices().data(),
                                                    mesh->GetVertexCount(), mesh->GetIndexCount());
    if (!buffers) return;  // refused: the mesh stays dynamic with its geometry
    mesh->SetMeshBuffers(key, buffers);
    mesh->SetType(CPRenderObjectBase::Static);
    mesh->GetVertices() = {};
    mesh->GetWorldVertices() = {};
    mesh->GetIndices() = {};
}

void AddPartAnimations(CPObjectLoader& loader, CPGameObject& object, const std::string& items) {
    std::vector<TPtr<CPGameObject>> objects;
    object.CollectObjects(objects);
    for (const std::string& item : SplitFields(items, ";")) {
        const std::vector<std::string> fields = SplitFields(item, ",");
        CPObjectLoader::PartAnimations parts;
        loader.LoadPartAnimations(FieldAt(fields, 1), parts);
        for (const TPtr<CPGameObject>& target : objects) {
            const auto found = parts.find(target->GetName());
            if (found == parts.end()) continue;
            found->second->SetTarget(target.Get());
            target->AddPartAnimation(FieldAt(fields, 0), found->second);
        }
    }
}

TPtr<CPGameObject> MakeEmitter(const std::string& name, const std::vector<std::string>& emitterNames, float interval) {
    TPtr<CPGameObject> object(new CPGameObject(name));
    TPtr<CPParticleSystem> emitter(new CPParticleSystem(object.Get(), emitterNames));
    emitter->SetInterval(interval);
    object->SetAttachment(CPGameObject::kEmitter, emitter);
    object->SetShadow(false);
    object->SetObb(CPObb({0.0f, 0.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.5f, 0.0f}));
    return object;
}

// Attaches a sprite, light or emitter below the root: to the root itself when the parent field
// names it, else to the object that find gives; discarded when there is none.
template <class FindParent>
void Attach(const TPtr<CPGameObject>& root, const TPtr<CPGameObject>& object, FindParent find) {
    if (!root) return;
    if (TPtr<CPGameObject> parent = find(); parent) parent->AddChild(object);
}

}  // namespace

void CPObjectLoader::ConfigurePart(TPtr<CPGameObject> object, const PropertyMap& properties, int32_t layerBase) {
    if (!object) return;
    const std::vector<std::string> textures = Textures(properties);
    const std::string effect = ValueOf(properties, "effectfile");
    const TPtr<CPMaterial> material = Material(AtoI(ValueOf(properties, "type")) + layerBase, effect, textures);
    if (object->CastsShadow()) {
        const bool holey = effect == kHoleyEffect || effect == kHoleyTreeEffect;
        CPRender* render = GetRender();
        object->SetShadowMaterial(holey ? Material(kShadowLayer, kHoleyShadowEffect, textures)
                                        : (render ? render->GetShadowMaterial() : nullptr));
    }
    SetMaterial(*object, material);
    ApplyFlags(*object, properties);
    SetDamagedMaterial(*object, textures[0]);
    if (const std::string* script = Find(properties, "script")) {
        CPScriptManager* scripts = GetScriptManager();
        object->SetScript(scripts ? scripts->GetScript(*script) : nullptr);
    }
    if (const std::string* effects = Find(properties, "vertexeffect")) {
        AddVertexEffects(*object, *effects);
    } else {
        MakeStatic(*this, *object);
    }
    if (const std::string* animations = Find(properties, "animation")) AddPartAnimations(*this, *object, *animations);
}

TPtr<CPGameObject> CPObjectLoader::CreateParticleSystemObject(const std::vector<std::string>& emitterNames,
                                                              float interval) {
    return MakeEmitter("psystem", emitterNames, interval);
}

void CPObjectLoader::AddSprites(const TPtr<CPGameObject>& root, const SPObjectDescription& description,
                                int32_t layerBase) {
    for (const std::string& value : description.sprites) {
        const std::vector<std::string> fields = SplitFields(value, ",");
        CPFieldNumbers numbers(fields);
        const float size = numbers.Float(4);
        const PVector3 position = numbers.Vector(1);
        if (!Usable(numbers, description, "sprite", FieldAt(fields, 0))) continue;
        TPtr<CPGameObject> object(new CPGameObject(FieldAt(fields, 0)));
        TPtr<CPSprite> sprite(new CPSprite(size));
        sprite->SetOwner(object.Get());
        object->SetAttachment(CPGameObject::kSprite, sprite);
        object->SetShadow(false);
        object->SetPosition(position);
        ConfigurePart(object, description.PropertiesOf(FieldAt(fields, 0)), layerBase);
        const std::string parent = FieldAt(fields, 5);
        Attach(root, object, [&] { return parent.empty() || parent == root->GetName() ? root : root->FindChild(parent); });
    }
}

void CPObjectLoader::AddLights(const TPtr<CPGameObject>& root, const SPObjectDescription& description) {
    for (const std::string& value : description.lights) {
        const std::vector<std::string> fields = SplitFields(value, ",");
        CPFieldNumbers numbers(fields);
        platform::gfx::Light record{};
        record.type = platform::gfx::LightType::Point;
        const PVector3 colourValues = numbers.Vector(6);
        for (platform::gfx::ColorValue* colour : {&record.diffuse, &record.specular, &record.ambient}) {
            colour->r = colourValues.x;
            colour->g = colourValues.y;
            colour->b = colourValues.z;
        }
        record.range = numbers.Float(10);
        record.attenuation0 = 0.0f;
        record.attenuation1 = numbers.Float(9);
        record.attenuation2 = 0.0f;
        const PVector3 position = numbers.Vector(3);
        if (!Usable(numbers, description, "light", FieldAt(fields, 0))) continue;
        TPtr<CPGameObject> object(new CPGameObject(FieldAt(fields, 0)));
        TPtr<CPLight> light(new CPLight);
        light->SetFollowed(object.Get());
        light->SetLight(record);
        object->SetAttachment(CPGameObject::kLight, light);
        object->SetShadow(false);
        object->SetObb(CPObb({0.0f, 0.0f, 0.0f, 0.0f}, {record.range, record.range, record.range, 0.0f}));
        object->SetPosition(position);
        const std::string parent = FieldAt(fields, 1);
        Attach(root, object, [&] { return parent == root->GetName() ? root : root->FindChild(parent); });
    }
}

void CPObjectLoader::AddEmitters(const TPtr<CPGameObject>& root, const SPObjectDescription& description) {
    for (const std::string& value : description.emitters) {
        const std::vector<std::string> fields = SplitFields(value, ",");
        CPFieldNumbers numbers(fields);
        const float interval = numbers.Float(5);
        const PVector3 position = numbers.Vector(2);
        if (!Usable(numbers, description, "psystem", FieldAt(fields, 0))) continue;
        const std::vector<std::string> names(fields.begin() + std::min<size_t>(fields.size(), 6), fields.end());
        TPtr<CPGameObject> object = MakeEmitter(FieldAt(fields, 0), names, interval);
        object->SetPosition(position);
        const std::string parent = FieldAt(fields, 1);
        Attach(root, object, [&] { return parent == root->GetName() ? root : root->GetChild(parent); });
    }
}
