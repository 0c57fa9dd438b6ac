#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/PMMObject.h"
#include "core/PSmartPointer.h"
#include "math/PMath.h"
#include "Render/PAnimationRequest.h"
#include "Render/PBoundingBox.h"
#include "Render/PObb.h"
#include "Render/PRayQuery.h"

class CPCar;
class CPLuaScript;
class CPMaterial;
class CPParticleSystem;
class CPPartAnimation;
class CPPhysicData;
class IPTask;
class ISceneEntity;

// The scene object: a named node of a tree of objects with a local and a world transform, its
// own oriented box and the boxes of its solid parts, bounds for ray queries (part bounds) and for
// visibility (visual bounds), one displayed thing chosen by its kind, an optional physics
// binding, the enemy it is the model of, and the script that receives its events. Level pieces,
// the player's car, enemy models, weapon and effect objects and interface screens are all scene
// objects; derived classes add slots after OnAnimationEnd and keep GetSize and GetClassName.
//
// Transforms: local = rotation × translation of position, world = local × parentWorld. The
// setters only mark the object dirty; UpdateTransform recomputes it and its whole subtree once,
// and sets the moved flag that tells a mesh to transform its vertices again.
//
// Ownership: the object counts its children, attachment, part animations, physics binding, car,
// flame and materials; its parent, script and entity are plain pointers. Destroying a parent
// clears its children's parent pointers.
//
// Events: Activate sends "add_object" with the object's handle to its script and adds a
// reference that the script gives back with Release; Deactivate sends "delete_object"; the
// destructor deactivates the object without an event (its handle would name a freed object),
// and the children that are freed with it leave without one too.
//
// Destructible objects (damage class 3) lose health while the installed game rules
// (ISceneGameRules) count them as current targets, and are handed to the rules once when
// destroyed (reward, target lists). Their explosions go through the installed IExplosionSpawner.
//
// A part animation moves its object through the animation matrix, applied in the object's own
// frame before its rotation and position: local = animation × rotation × translation.
class CPGameObject : public IPMMObject {
public:
    // What the attachment is.
    enum Kind : int32_t {
        kMesh = 0,      // a CPRenderObject
        kAnimated = 1,  // a CPAnimatedObject
        kLight = 2,     // a CPLight
        kSprite = 3,    // a CPSprite
        kEmitter = 4,   // a CPParticleSystem, a task that Activate starts
        kNothing = 5,   // a group node without a displayed thing
    };
    // The damage class of objects that take damage, burn and pay a reward.
    static constexpr int32_t kDestructible = 3;
    // An object that is the target of no check point (the stage decides).
    static constexpr int32_t kNoCheckPoint = -1;

    explicit CPGameObject(const std::string& name);
    ~CPGameObject() override;

    CPGameObject(const CPGameObject&) = delete;
    CPGameObject& operator=(const CPGameObject&) = delete;

    // The size of CPGameObject, for every scene object.
    int32_t GetSize() const override;
    // "CPGameObject - " followed by the object's name.
    std::string GetClassName() const override;

    // Appends this object, then every descendant in pre-order.
    virtual void CollectObjects(std::vector<TPtr<CPGameObject>>& objects);
    // Enters the object and its subtree into the world: its idle part animation, its emitter and
    // its script become kernel tasks of that priority. Does nothing while active.
    virtual void Activate(int32_t priority);
    // Takes the object and its subtree out of the world. Does nothing while not active.
    virtual void Deactivate();
    // Makes this object a deep copy of the source: its own attachment, boxes, part animations,
    // children and physics binding (without a body), sharing only materials and the script. Not
    // copied: active, collision, param, entity, check point, flame, car. An active object leaves
    // the world first (Deactivate), so the copy is not active. Refused for the object itself or
    // one of its ancestors.
    virtual void CopyFrom(TPtr<CPGameObject> source);
    // Sends "animation_end" to the script (the part animation calls it at each end of its keys).
    virtual void OnAnimationEnd();

    // Recomputes transforms, boxes and bounds of the object and its subtree when dirty.
    void UpdateTransform();

    // Position and rotation in the parent's frame; an animated physics body follows them.
    void SetPosition(const PVector3& position);
    const PVector3& GetPosition() const { return m_position; }
    void SetRotation(const PQuaternion& rotation);
    const PQuaternion& GetRotation() const { return m_rotation; }
    // The world matrix the object sits in: its parent's, or what the level gives a root.
    void SetParentMatrix(const PMatrix& parentWorld);
    const PMatrix& GetParentMatrix() const { return m_parentWorld; }
    const PMatrix& GetLocal() const { return m_local; }
    // The transform a part animation gives the object (identity until one plays); like the
    // setters it clears moved and marks the object dirty.
    void SetAnimationMatrix(const PMatrix& matrix);
    const PMatrix& GetAnimationMatrix() const { return m_animationMatrix; }
    const PMatrix& GetWorld() const { return m_world; }
    // Whether the world matrix changed since a mesh last transformed its vertices; the mesh
    // clears it when it does.
    bool IsMoved() const { return m_moved; }
    void SetMoved(bool moved) { m_moved = moved; }

    const std::string& GetName() const { return m_name; }

    // Appends the child and files it under its name (a later child of the same name replaces the
    // earlier one there; both stay children). False for null, this object or one of its
    // ancestors, which would make the tree a cycle.
    bool AddChild(TPtr<CPGameObject> child);
    // The child filed under the name, or null.
    TPtr<CPGameObject> GetChild(const std::string& name) const;
    // The child of that name here first, else the first match in each child's subtree in turn;
    // null when there is none.
    TPtr<CPGameObject> FindChild(const std::string& name) const;
    const std::vector<TPtr<CPGameObject>>& GetChildren() const { return m_children; }
    TPtr<CPGameObject> GetParent() const;
    // The nearest ancestor-or-self with a script, else the top of the tree.
    TPtr<CPGameObject> GetRoot();

    // The script that receives the object's events (not counted: the script manager owns it).
    // Marks the subtree as not static.
    void SetScript(TPtr<CPLuaScript> script);
    TPtr<CPLuaScript> GetScript() const;

    // Shows or hides the object and its subtree.
    void SetEnabled(bool enabled);
    // Shows or hides this object alone.
    void SetVisible(bool visible) { m_visible = visible; }
    bool IsVisible() const { return m_visible; }
    // Whether the geometry never changes and may be batched once.
    bool IsStatic() const { return m_static; }
    // Marks this object alone (the loader clears it for a part whose geometry changes).
    void SetStatic(bool isStatic) { m_static = isStatic; }
    bool IsActive() const { return m_active; }

    // The displayed thing and its kind, set together by the object's creator.
    void SetAttachment(Kind kind, CPSmartPointer attachment);
    Kind GetKind() const { return m_kind; }
    const CPSmartPointer& GetAttachment() const { return m_attachment; }

    // Files a part animation under its name (replacing); "idle" is also the one Activate starts,
    // and it loops.
    void AddPartAnimation(const std::string& name, TPtr<CPPartAnimation> animation);
    const TPtr<CPPartAnimation>& GetUpdateTask() const { return m_updateTask; }
    const std::unordered_map<std::string, TPtr<CPPartAnimation>>& GetPartAnimations() const {
        return m_partAnimations;
    }

    // The object's own box; its world bounds become the visual bounds.
    void SetObb(const CPObb& box);
    const CPObb& GetObb() const { return m_obb; }
    // The boxes of the solid parts, in the object's frame through each box's local matrix.
    std::vector<CPObb>& GetParts() { return m_parts; }
    const std::vector<CPObb>& GetParts() const { return m_parts; }
    // The part boxes of the subtree in the world (ray and sphere queries).
    const CPBoundingBox& GetPartBounds() const { return m_partBounds; }
    // The own boxes of the subtree in the world, with the shadows of shadow casters (visibility).
    const CPBoundingBox& GetVisualBounds() const { return m_visualBounds; }

    void SetShadowMaterial(TPtr<CPMaterial> material) { m_shadowMaterial = std::move(material); }
    TPtr<CPMaterial> GetShadowMaterial() const { return m_shadowMaterial; }
    void SetDamagedMaterial(TPtr<CPMaterial> material) { m_damagedMaterial = std::move(material); }
    TPtr<CPMaterial> GetDamagedMaterial() const { return m_damagedMaterial; }

    // Asks for a vertex animation on the object and on every descendant.
    void PlayAnimation(const SPAnimationRequest& request, bool restart);
    // Tests the segment against the part boxes of the subtree, keeping the nearest hit in the
    // query. Objects without collision and the query's skip object are passed over with their
    // subtrees.
    bool RayHit(SPRayQuery& query);

    // A hit: tells the script ("damage") unless silent, passes the hit on to a live enemy, and
    // takes health from a destructible object that is a current target, both times the rules'
    // damage factor. flagA and flagB are for the enemy only.
    void Damage(const PVector3& position, const PVector3& direction, float amount, bool flagA, bool silent,
                bool flagB);
    // First-damage effects: an object named "front" is wrecked at once; another starts its flame
    // template (once), burning on a new child "flame".
    void Explode(int32_t unused);
    // Wreck effects on the object and its subtree while it burns out.
    void SecondaryExplosion();
    // One step of a burning wreck's collapse: a small random tilt and a drop.
    void Sink();

    void SetEntity(ISceneEntity* entity) { m_entity = entity; }
    ISceneEntity* GetEntity() const { return m_entity; }
    // With an entity: draws one random number and, when it is odd, sets the entity's
    // gib-on-death flag to gib.
    void MaybeSetGibOnDeath(bool gib);
    // The vertex animation's events, passed on to the entity.
    void OnAnimationStopped();
    void OnAnimationReport(float value);
    void OnAnimationMark(float value);

    void SetPhysicData(TPtr<CPPhysicData> physicData) { m_physicData = std::move(physicData); }
    const TPtr<CPPhysicData>& GetPhysicData() const { return m_physicData; }
    void SetCar(TPtr<CPCar> car) { m_car = std::move(car); }
    TPtr<CPCar> GetCar() const { return m_car; }
    const TPtr<CPParticleSystem>& GetFlame() const { return m_flame; }

    // Destruction rules, set by the creator.
    void SetDamageClass(int32_t damageClass) { m_damageClass = damageClass; }
    int32_t GetDamageClass() const { return m_damageClass; }
    void SetHealth(float health) { m_health = health; }
    float GetHealth() const { return m_health; }
    void SetReward(float reward) { m_reward = reward; }
    float GetReward() const { return m_reward; }
    // The flame template that starts on the first hit; -1 for none.
    void SetFlameIndex(int32_t index) { m_flameIndex = index; }
    int32_t GetFlameIndex() const { return m_flameIndex; }
    // The check point whose target this object is; kNoCheckPoint for none.
    void SetCheckPoint(int32_t checkPoint) { m_checkPoint = checkPoint; }
    int32_t GetCheckPoint() const { return m_checkPoint; }

    // Whether ray queries test the object.
    void SetCollision(bool collision) { m_collision = collision; }
    bool HasCollision() const { return m_collision; }
    // Whether the object casts a shadow (its visual bounds then include it).
    void SetShadow(bool shadow) { m_shadow = shadow; }
    bool CastsShadow() const { return m_shadow; }
    // Whether UpdateTransform moves the object's boxes and bounds with it (the default). An
    // object that is only shown, never tested by rays, physics or the level's visibility (a
    // shot, a flash), does without: its transforms still follow, its boxes and bounds stay as
    // they were. Set for the object and every descendant it has now.
    void SetKeepsBounds(bool keeps);
    bool KeepsBounds() const { return m_keepsBounds; }
    // Free text from the object description, for the level.
    void SetParam(const std::string& param) { m_param = param; }
    const std::string& GetParam() const { return m_param; }

protected:
    // Renames a root object (a parent files its children under their names), such as one that
    // took a model's name with CopyFrom.
    void SetName(const std::string& name) { m_name = name; }

private:
    // Deactivates the object; notify says whether the script hears of it. Without notify (the
    // object is being freed) a child that nothing else holds leaves silently as well.
    void Leave(bool notify);
    // The attachment as a task (an emitter), or null.
    IPTask* GetEmitter() const;
    void SendToScript(const char* command, const std::string& params) const;
    void UpdateBoxes();
    void UpdateChildren();
    void CopyAttachment(const CPGameObject& source);
    void CopyChildren(const CPGameObject& source);
    void CopyPartAnimations(const CPGameObject& source);
    // Lets go of the children, parts and part animations before a copy.
    void ClearContents();
    bool IsSelfOrAncestor(const CPGameObject* object) const;
    // Whether this object holds the child's only references, so that it goes with this object.
    bool HoldsAlone(const CPGameObject& child) const;
    void SetStaticInSubtree(bool isStatic);
    // Whether damage counts now: the object is a target of the current check point or stage.
    bool IsCurrentTarget() const;
    void Destroyed();
    void StartFlame();
    // Puts the damaged material on the displayed thing.
    void ShowDamagedMaterial();
    // Spawns the named explosion at a random point of the part bounds.
    void SpawnExplosion(const char* name) const;

    // The task priority of a burning flame.
    static constexpr int32_t kFlamePriority = 200;

    int32_t m_flameIndex = -1;
    int32_t m_damageClass = 0;
    float m_health = 0.0f;
    float m_reward = 0.0f;
    bool m_active = false;
    std::unordered_map<std::string, TPtr<CPPartAnimation>> m_partAnimations;
    TPtr<CPPartAnimation> m_updateTask;
    CPBoundingBox m_partBounds;
    CPBoundingBox m_visualBounds;
    CPObb m_obb;
    std::vector<CPObb> m_parts;
    PMatrix m_parentWorld;
    PMatrix m_local;
    PMatrix m_animationMatrix;
    PMatrix m_world;
    PVector3 m_position{0.0f, 0.0f, 0.0f};
    PQuaternion m_rotation{0.0f, 0.0f, 0.0f, 1.0f};
    bool m_dirty = true;
    std::vector<TPtr<CPGameObject>> m_children;
    std::unordered_map<std::string, TPtr<CPGameObject>> m_childByName;
    CPGameObject* m_parent = nullptr;
    std::string m_name;
    bool m_visible = true;
    bool m_static = true;
    CPLuaScript* m_script = nullptr;
    bool m_collision = true;
    std::string m_param;
    ISceneEntity* m_entity = nullptr;
    TPtr<CPMaterial> m_shadowMaterial;
    TPtr<CPMaterial> m_damagedMaterial;
    int32_t m_checkPoint = kNoCheckPoint;
    TPtr<CPParticleSystem> m_flame;
    bool m_moved = true;
    bool m_shadow = true;
    bool m_keepsBounds = true;
    CPSmartPointer m_attachment;
    Kind m_kind = kNothing;
    TPtr<CPPhysicData> m_physicData;
    TPtr<CPCar> m_car;
};
