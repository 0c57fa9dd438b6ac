#include "Render/PGameObject.h"

#include <algorithm>
#include <cstdint>

#include "core/PKernel.h"
#include "core/TextHelpers.h"
#include "physics/PPhysicData.h"
#include "platform/Random.h"
#include "Render/IExplosionSpawner.h"
#include "Render/ISceneEntity.h"
#include "Render/ISceneGameRules.h"
#include "Render/PAnimatedObject.h"
#include "Render/PLight.h"
#include "Render/PMaterial.h"
#include "Render/PParticlesManager.h"
#include "Render/PPartAnimation.h"
#include "Render/PRenderObject.h"
#include "Render/PSprite.h"
#include "Render/ShadowProjection.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"
#include "script/ScriptHandles.h"

namespace {

// Buckets each name map asks for at construction.
constexpr size_t kMapBuckets = 100;

}  // namespace

CPGameObject::CPGameObject(const std::string& name)
    : m_partAnimations(kMapBuckets),
      m_parentWorld(MatrixIdentity()),
      m_local(MatrixIdentity()),
      m_animationMatrix(MatrixIdentity()),
      m_world(MatrixIdentity()),
      m_childByName(kMapBuckets),
      m_name(name) {}

CPGameObject::~CPGameObject() {
    // No "delete_object": the handle would name an object that is being freed.
    Leave(false);
    for (const TPtr<CPGameObject>& child : m_children) child->m_parent = nullptr;
    if (m_physicData && m_physicData->GetOwner() == this) m_physicData->DetachOwner();
    if (m_kind == kEmitter) {
        if (IPTask* emitter = GetEmitter()) emitter->Stop();
    }
}

int32_t CPGameObject::GetSize() const { return static_cast<int32_t>(sizeof(CPGameObject)); }

std::string CPGameObject::GetClassName() const { return "CPGameObject - " + m_name; }

// ---------------------------------------------------------------------------------------------
// Tree

void CPGameObject::CollectObjects(std::vector<TPtr<CPGameObject>>& objects) {
    objects.emplace_back(this);
    for (const TPtr<CPGameObject>& child : m_children) child->CollectObjects(objects);
}

// Whether the child has no holder but this object (its place among the children and, when it
// is the one filed under its name, that entry).
bool CPGameObject::HoldsAlone(const CPGameObject& child) const {
    const auto named = m_childByName.find(child.m_name);
    const bool filed = named != m_childByName.end() && named->second.Get() == &child;
    return child.GetRefCount() == (filed ? 2 : 1);
}

bool CPGameObject::IsSelfOrAncestor(const CPGameObject* object) const {
    for (const CPGameObject* node = this; node; node = node->m_parent) {
        if (node == object) return true;
    }
    return false;
}

bool CPGameObject::AddChild(TPtr<CPGameObject> child) {
    if (!child || IsSelfOrAncestor(child.Get())) return false;
    child->m_parent = this;
    m_children.push_back(child);
    m_childByName[child->m_name] = child;
    return true;
}

TPtr<CPGameObject> CPGameObject::GetChild(const std::string& name) const {
    const auto found = m_childByName.find(name);
    return found == m_childByName.end() ? nullptr : found->second;
}

TPtr<CPGameObject> CPGameObject::FindChild(const std::string& name) const {
    if (TPtr<CPGameObject> child = GetChild(name)) return child;
    for (const TPtr<CPGameObject>& child : m_children) {
        if (TPtr<CPGameObject> found = child->FindChild(name)) return found;
    }
    return nullptr;
}

TPtr<CPGameObject> CPGameObject::GetParent() const { return m_parent; }

TPtr<CPGameObject> CPGameObject::GetRoot() {
    CPGameObject* node = this;
    while (!node->m_script && node->m_parent) node = node->m_parent;
    return node;
}

void CPGameObject::SetScript(TPtr<CPLuaScript> script) {
    SetStaticInSubtree(false);
    m_script = script.Get();
}

TPtr<CPLuaScript> CPGameObject::GetScript() const { return m_script; }

void CPGameObject::SetStaticInSubtree(bool isStatic) {
    m_static = isStatic;
    for (const TPtr<CPGameObject>& child : m_children) child->SetStaticInSubtree(isStatic);
}

void CPGameObject::SetEnabled(bool enabled) {
    m_visible = enabled;
    for (const TPtr<CPGameObject>& child : m_children) child->SetEnabled(enabled);
}

void CPGameObject::SetAttachment(Kind kind, CPSmartPointer attachment) {
    m_kind = kind;
    m_attachment = std::move(attachment);
}

void CPGameObject::AddPartAnimation(const std::string& name, TPtr<CPPartAnimation> animation) {
    m_static = false;
    if (name == "idle") {
        m_updateTask = animation;
        if (animation) animation->SetLoop(true);
    }
    m_partAnimations[name] = std::move(animation);
}

// ---------------------------------------------------------------------------------------------
// Transforms

void CPGameObject::SetPosition(const PVector3& position) {
    m_position = position;
    m_moved = false;
    m_dirty = true;
    if (m_physicData) m_physicData->SetAnimatedBodyPosition(position);
}

void CPGameObject::SetRotation(const PQuaternion& rotation) {
    m_rotation = rotation;
    m_moved = false;
    m_dirty = true;
    if (m_physicData) m_physicData->SetRotation(rotation);
}

void CPGameObject::SetAnimationMatrix(const PMatrix& matrix) {
    m_animationMatrix = matrix;
    m_moved = false;
    m_dirty = true;
}

void CPGameObject::SetParentMatrix(const PMatrix& parentWorld) {
    m_parentWorld = parentWorld;
    m_moved = false;
    m_dirty = true;
}

void CPGameObject::SetObb(const CPObb& box) {
    m_obb = box;
    m_visualBounds.SetFromObb(m_obb);
}

void CPGameObject::UpdateTransform() {
    if (!m_dirty) return;
    m_local = m_animationMatrix * MatrixRotationQuaternion(m_rotation) *
              MatrixTranslation(m_position.x, m_position.y, m_position.z);
    m_world = m_local * m_parentWorld;
    if (m_keepsBounds) UpdateBoxes();
    UpdateChildren();
    if (m_keepsBounds) {
        if (m_shadow) m_visualBounds.AddShadow(g_shadowProjection);
        m_visualBounds.Recompute();
    }
    m_moved = true;
    m_dirty = false;
    if (m_kind == kMesh) {
        if (CPRenderObject* mesh = m_attachment.Get<CPRenderObject>()) mesh->SetWorld(m_world);
    } else if (m_kind == kAnimated) {
        if (CPAnimatedObject* animated = m_attachment.Get<CPAnimatedObject>()) animated->SetWorld(m_world);
    }
}

void CPGameObject::UpdateBoxes() {
    for (CPObb& box : m_parts) {
        box.SetWorld(box.GetLocal() * m_world);
        box.Update();
    }
    m_obb.SetWorld(m_obb.GetLocal() * m_world);
    m_obb.Update();
    m_visualBounds.SetFromObb(m_obb);
    m_partBounds.SetFromObbs(m_parts);
}

void CPGameObject::UpdateChildren() {
    for (const TPtr<CPGameObject>& child : m_children) {
        child->m_moved = false;
        child->m_parentWorld = m_world;
        child->m_dirty = true;
        child->UpdateTransform();
        if (!m_keepsBounds) continue;
        m_partBounds.Merge(child->m_partBounds);
        m_visualBounds.MergeNoRecompute(child->m_visualBounds);
    }
}

void CPGameObject::SetKeepsBounds(bool keeps) {
    m_keepsBounds = keeps;
    for (const TPtr<CPGameObject>& child : m_children) child->SetKeepsBounds(keeps);
}

// ---------------------------------------------------------------------------------------------
// Activation and events

IPTask* CPGameObject::GetEmitter() const { return m_attachment.Get<IPTask>(); }

void CPGameObject::SendToScript(const char* command, const std::string& params) const {
    CPScriptManager* manager = GetScriptManager();
    if (!m_script || !manager) return;
    manager->SendCommandByObject(TPtr<CPLuaScript>(m_script), command, params);
}

void CPGameObject::Activate(int32_t priority) {
    if (m_active) return;
    m_active = true;
    CPKernel* kernel = GetKernel();
    if (IPTask* task = m_updateTask.Get<IPTask>(); task && kernel) {
        task->SetPriority(priority);
        kernel->AddTask(TPtr<IPTask>(task));
    }
    if (IPTask* emitter = GetEmitter(); m_kind == kEmitter && m_visible && emitter && kernel && !emitter->IsRunning()) {
        emitter->SetPriority(priority);
        kernel->AddTask(TPtr<IPTask>(emitter));
    }
    // By index: a derived child's Activate may add children.
    for (size_t i = 0; i < m_children.size(); ++i) m_children[i]->Activate(priority);
    if (m_script) {
        m_script->SetPriority(priority);
        if (kernel) kernel->AddTask(TPtr<IPTask>(m_script));
        m_script->HoldReference(*this);  // the script's, given back through the script function Release
        SendToScript("add_object", HandleToString(this));
    }
}

void CPGameObject::Deactivate() { Leave(true); }

void CPGameObject::Leave(bool notify) {
    if (!m_active) return;
    if (m_kind == kEmitter) {
        if (IPTask* emitter = GetEmitter()) emitter->Stop();
    }
    m_active = false;
    if (IPTask* task = m_updateTask.Get<IPTask>()) task->Stop();
    for (size_t i = 0; i < m_children.size(); ++i) {
        CPGameObject& child = *m_children[i];
        if (!notify && HoldsAlone(child)) {
            child.Leave(false);
        } else {
            child.Deactivate();
        }
    }
    if (notify) SendToScript("delete_object", HandleToString(this));
}

void CPGameObject::OnAnimationEnd() { SendToScript("animation_end", HandleToString(this)); }

void CPGameObject::PlayAnimation(const SPAnimationRequest& request, bool restart) {
    if (m_kind == kAnimated) {
        if (CPAnimatedObject* animated = m_attachment.Get<CPAnimatedObject>()) animated->Play(request, restart);
    }
    for (const TPtr<CPGameObject>& child : m_children) child->PlayAnimation(request, restart);
}

// ---------------------------------------------------------------------------------------------
// Copying

void CPGameObject::ClearContents() {
    for (const TPtr<CPGameObject>& child : m_children) child->m_parent = nullptr;
    m_children.clear();
    m_childByName.clear();
    m_parts.clear();
    m_partAnimations.clear();
    m_updateTask.Reset();
    m_attachment.Reset();
}

void CPGameObject::CopyFrom(TPtr<CPGameObject> sourcePointer) {
    const CPGameObject* source = sourcePointer.Get();
    if (!source || IsSelfOrAncestor(source)) return;
    // What the object held runs as tasks while it is in the world: it leaves first, so that no
    // task goes on moving a part or an emitter that the copy lets go of.
    Deactivate();
    ClearContents();
    m_kind = source->m_kind;
    CopyAttachment(*source);
    m_parts = source->m_parts;
    CopyPartAnimations(*source);
    CopyChildren(*source);
    m_shadowMaterial = source->m_shadowMaterial;
    m_damagedMaterial = source->m_damagedMaterial;
    m_flameIndex = source->m_flameIndex;
    m_damageClass = source->m_damageClass;
    m_health = source->m_health;
    m_reward = source->m_reward;
    m_position = source->m_position;
    m_rotation = source->m_rotation;
    m_parentWorld = source->m_parentWorld;
    m_local = source->m_local;
    m_animationMatrix = source->m_animationMatrix;
    m_world = source->m_world;
    m_visualBounds = source->m_visualBounds;
    m_obb = source->m_obb;
    m_moved = false;
    m_dirty = true;
    m_name = source->m_name;
    m_visible = source->m_visible;
    m_static = source->m_static;
    m_shadow = source->m_shadow;
    m_keepsBounds = source->m_keepsBounds;
    m_script = source->m_script;
    if (source->m_physicData) m_physicData = source->m_physicData->CopyFor(this);
    UpdateTransform();
}

void CPGameObject::CopyAttachment(const CPGameObject& source) {
    switch (source.m_kind) {
        case kMesh:
            if (CPRenderObject* mesh = source.m_attachment.Get<CPRenderObject>()) {
                TPtr<CPRenderObject> copy(new CPRenderObject(this));
                copy->CopyFrom(TPtr<CPRenderObject>(mesh));
                copy->SetOwner(this);
                m_attachment = copy;
            }
            break;
        case kLight:
            if (CPLight* light = source.m_attachment.Get<CPLight>()) {
                TPtr<CPLight> copy(new CPLight);
                copy->SetFollowed(this);
                copy->SetLight(light->GetLight());
                m_attachment = copy;
            }
            break;
        case kSprite:
            if (const CPSprite* sprite = source.m_attachment.Get<CPSprite>()) {
                TPtr<CPSprite> copy(new CPSprite(sprite->GetSpriteSize()));
                copy->SetMaterial(sprite->GetMaterial());
                copy->SetAngle(sprite->GetAngle());
                copy->SetOwner(this);
                m_attachment = copy;
            }
            break;
        case kEmitter:
            if (const CPParticleSystem* emitter = source.m_attachment.Get<CPParticleSystem>()) {
                TPtr<CPParticleSystem> copy = emitter->CloneSystem();
                copy->SetOwner(this);
                m_attachment = copy;
            }
            break;
        case kAnimated:
            if (CPAnimatedObject* animated = source.m_attachment.Get<CPAnimatedObject>()) {
                TPtr<CPAnimatedObject> copy(new CPAnimatedObject(this));
                copy->CopyFrom(TPtr<CPAnimatedObject>(animated));
                copy->SetOwner(this);
                m_attachment = copy;
            }
            break;
        default:
            break;
    }
}

void CPGameObject::CopyPartAnimations(const CPGameObject& source) {
    for (const auto& [name, animation] : source.m_partAnimations) {
        TPtr<CPPartAnimation> copy(new CPPartAnimation);
        copy->CopyFrom(animation.Get());
        copy->SetTarget(this);
        AddPartAnimation(name, copy);
    }
}

void CPGameObject::CopyChildren(const CPGameObject& source) {
    for (const TPtr<CPGameObject>& child : source.m_children) {
        TPtr<CPGameObject> copy(new CPGameObject(child->m_name));
        copy->m_parent = this;
        copy->CopyFrom(child);
        m_children.push_back(copy);
        m_childByName[child->m_name] = copy;
    }
}

// ---------------------------------------------------------------------------------------------
// Ray queries

bool CPGameObject::RayHit(SPRayQuery& query) {
    if (!m_collision || query.skip == this) return false;
    if (!m_partBounds.IntersectsSegment(query.origin, query.direction, query.distance)) return false;
    bool hit = false;
    for (const CPObb& box : m_parts) {
        if (box.IntersectSegment(query.origin, query.direction, query.distance, query.hitPlane)) hit = true;
    }
    if (hit) {
        query.hitObject = this;
        query.hitOwner = GetRoot();
    }
    for (const TPtr<CPGameObject>& child : m_children) {
        if (child->RayHit(query)) hit = true;
    }
    return hit;
}

// ---------------------------------------------------------------------------------------------
// Damage and destruction

void CPGameObject::Damage(const PVector3& position, const PVector3& direction, float amount, bool flagA,
                          bool silent, bool flagB) {
    if (!silent) SendToScript("damage", FloatText(amount));
    const ISceneGameRules* rules = ISceneGameRules::Installed();
    const float factor = rules ? rules->GetDamageFactor() : 1.0f;
    if (m_entity && m_physicData && m_entity->IsLiveEnemy()) {
        m_entity->OnDamage(position, direction, amount * factor, flagA, silent, flagB);
    }
    if (m_damageClass != kDestructible || !IsCurrentTarget() || !(m_health > 0.0f)) return;
    m_health -= amount * factor;
    Explode(0);
    if (m_health <= 0.0f) Destroyed();
}

bool CPGameObject::IsCurrentTarget() const {
    const ISceneGameRules* rules = ISceneGameRules::Installed();
    return rules && rules->IsCurrentTarget(*this, m_checkPoint);
}

void CPGameObject::StartFlame() {
    CPParticlesManager* particles = GetParticlesManager();
    if (m_flameIndex < 0 || !particles) return;
    m_flame = particles->CloneFlame(m_flameIndex);
    if (m_flame) {
        m_flame->SetPriority(kFlamePriority);
        if (CPKernel* kernel = GetKernel()) kernel->AddTask(m_flame);
        TPtr<CPGameObject> holder(new CPGameObject("flame"));
        holder->SetAttachment(kEmitter, m_flame);
        m_flame->SetOwner(holder.Get());
        AddChild(holder);
        SetPosition(m_position);
        UpdateTransform();
    }
    m_flameIndex = -1;
}

void CPGameObject::Destroyed() {
    IExplosionSpawner* spawner = IExplosionSpawner::Installed();
    if (m_name != "front" && spawner) spawner->PlayExplosionSound("big_exp");
    if (ISceneGameRules* rules = ISceneGameRules::Installed()) rules->OnTargetDestroyed(*this, m_reward);
    if (m_flame) m_flame->SetBurnOut(true);
}

void CPGameObject::Explode(int32_t unused) {
    if (m_name != "front") {
        StartFlame();
        return;
    }
    if (m_damagedMaterial) {
        ShowDamagedMaterial();
        if (m_damageClass == kDestructible) SpawnExplosion("mine_exp2");
    }
    m_health = 0.0f;
}

void CPGameObject::SecondaryExplosion() {
    if (m_damagedMaterial) {
        ShowDamagedMaterial();
        if (m_damageClass == kDestructible) SpawnExplosion("rocket_exp3");
    }
    for (const TPtr<CPGameObject>& child : m_children) child->SecondaryExplosion();
}

void CPGameObject::ShowDamagedMaterial() {
    if (m_kind == kMesh) {
        if (CPRenderObject* mesh = m_attachment.Get<CPRenderObject>()) mesh->SetMaterial(m_damagedMaterial);
    } else if (m_kind == kAnimated) {
        if (CPAnimatedObject* animated = m_attachment.Get<CPAnimatedObject>()) animated->SetMaterial(m_damagedMaterial);
    }
}

void CPGameObject::SpawnExplosion(const char* name) const {
    const PVector3 h = m_partBounds.HalfExtentsOrZero();
    const float uz = platform::RandUnit();
    const float uy = platform::RandUnit();
    const float ux = platform::RandUnit();
    const PVector3 point = m_position + PVector3{ux * h.x - h.x / 2.0f, uy * h.y - h.y / 2.0f, uz * h.z / 2.0f};
    if (IExplosionSpawner* spawner = IExplosionSpawner::Installed()) spawner->SpawnExplosion(name, point);
}

void CPGameObject::Sink() {
    const float pitch = 0.025f - 0.05f * platform::RandUnit();
    const float yaw = 0.025f - 0.05f * platform::RandUnit();
    const PMatrix tilted = MatrixRotationQuaternion(m_rotation) * MatrixRotationYawPitchRoll(yaw, pitch, 0.0f);
    m_rotation = QuaternionRotationMatrix(tilted);
    m_moved = false;
    m_dirty = true;
    m_position.z -= 0.25f * platform::RandUnit();
    UpdateTransform();
}

// ---------------------------------------------------------------------------------------------
// The enemy link

void CPGameObject::MaybeSetGibOnDeath(bool gib) {
    if (!m_entity) return;
    if (platform::Rand() % 2 == 1) m_entity->SetGibOnDeath(gib);
}

void CPGameObject::OnAnimationStopped() {
    if (m_entity) m_entity->OnAnimationStopped();
}

void CPGameObject::OnAnimationReport(float value) {
    if (m_entity) m_entity->OnAnimationReport(value);
}

void CPGameObject::OnAnimationMark(float value) {
    if (m_entity) m_entity->OnAnimationMark(value);
}
