#include "weapons/PWeaponObject.h"

#include <limits>

#include "core/FieldNumbers.h"
#include "core/PLog.h"
#include "core/PTokenizer.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "Render/ISceneEntity.h"
#include "Render/PObjectLoader.h"
#include "Render/PRenderObject.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Sound/NSoundBank.h"
#include "weapons/PWeaponsSystem.h"
#include "weapons/WeaponMath.h"

namespace {

// The render layer of weapon models.
constexpr int32_t kModelLayer = 20;

}  // namespace

CPWeaponObject::CPWeaponObject(const std::string& name) : CPGameObject(name) {
    m_renderObject = TPtr<CPRenderObject>(new CPRenderObject(this));
    SetAttachment(kMesh, m_renderObject);
}

CPWeaponObject::~CPWeaponObject() = default;

bool CPWeaponObject::SetParams(const WeaponFields& fields) {
    if (fields.empty()) return false;
    CPTokenizer tokens(fields.back(), ",", true);
    std::string mode;
    tokens.NextToken(m_soundName);
    tokens.NextToken(mode);
    if (m_soundName == "none") return true;
    m_sound2D = mode == "2d";
    if (CNSoundBank* bank = GetSoundBank()) m_sound = bank->Load(m_soundName, !m_sound2D, false);
    return true;
}

void CPWeaponObject::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer,
                            void*, bool super) {
    m_damageOverride = damage;
    m_launchPosition = position;
    m_launchDirection = direction;
    m_super = super;
    FaceAlong(direction);
    if (!m_sound) return;
    if (!m_sound2D) m_sound->SetPosition(position, {0.0f, 0.0f, 0.0f});
    m_sound->Stop();
    m_sound->Rewind();
    m_sound->Play(0, 0);
}

void CPWeaponObject::FaceAlong(const PVector3& direction) {
    const bool tiny = Vec3LengthSq(direction) <= std::numeric_limits<float>::min();
    const PVector3 n = tiny ? PVector3{0.0f, 0.0f, 0.0f} : Vec3Normalize(direction);
    SetRotation(TurnOnto({0.0f, -1.0f, 0.0f}, n));
}

void CPWeaponObject::CopySoundTo(CPWeaponObject& target) const {
    target.m_sound = m_sound;
    target.m_soundName = m_soundName;
    target.m_sound2D = m_sound2D;
}

bool CPWeaponObject::LoadModel(const std::string& description) {
    CPObjectLoader* loader = GetObjectLoader();
    TPtr<CPGameObject> model = loader ? loader->LoadObject(description, kModelLayer) : nullptr;
    if (!model) return false;
    // The copy takes the model's name; the object stays the prototype of its own.
    const std::string name = GetName();
    CopyFrom(model);
    SetName(name);
    return true;
}

bool CPWeaponObject::LoadPhysicalModel(const std::string& description) {
    if (LoadModel(description) && GetPhysicData()) return true;
    return RefuseDefinition("the model " + description + " has no physics data");
}

bool CPWeaponObject::RefuseDefinition(const std::string& why) const {
    GetLog()->Print(0, "weapons.dat: %s: %s\n", GetName().c_str(), why.c_str());
    return false;
}

bool CPWeaponObject::AllNumbersFinite(const CPFieldNumbers& numbers) const {
    return numbers.AllFinite() || RefuseDefinition("every number must be finite");
}

void CPWeaponObject::AdoptCopiedRenderObject() {
    if (CPRenderObject* copied = GetAttachment().Get<CPRenderObject>()) m_renderObject = TPtr<CPRenderObject>(copied);
}

std::vector<std::array<float, 4>> FrameGridRects(int32_t columns, int32_t rows) {
    std::vector<std::array<float, 4>> rects;
    rects.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            rects.push_back({static_cast<float>(c) / columns, static_cast<float>(r) / rows,
                             static_cast<float>(c + 1) / columns, static_cast<float>(r + 1) / rows});
        }
    }
    return rects;
}

bool IsUnpushableEnemy(const CPGameObject& object) {
    const ISceneEntity* entity = object.GetEntity();
    if (!entity || !entity->IsLiveEnemy()) return false;
    const std::string& kind = entity->GetKindName();
    return kind == "walker" || kind == "walker_2" || kind == "walker3";
}

void PushObject(CPGameObject& object, const PVector3& impulse, const PVector3& point) {
    const TPtr<CPPhysicData>& physics = object.GetPhysicData();
    if (physics && physics->rigidBody) physics->rigidBody->ApplyImpulse(ToPhysics(impulse), ToPhysics(point));
}

void SpawnFollowUp(const std::string& name, const PVector3& position, const PVector3& direction, float damage,
                   bool super) {
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) {
        weapons->Spawn(name, position, direction, damage, nullptr, nullptr, super);
    }
}
