#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/PSmartPointer.h"
#include "math/PMath.h"
#include "Render/PGameObject.h"

class CNSound;
class CPFieldNumbers;
class CPRenderObject;

// The definition fields of one weapons.dat line, in order.
using WeaponFields = std::vector<std::string>;

// The base of every object the weapons system makes from a line of weapons.dat: a scene object
// with a render object of its own (also its attachment) that the system clones from a prototype,
// launches, updates once a frame until Update answers false, and pools for reuse. A pooled object
// is not reset: every Launch sets up all that its Update relies on.
//
// The base reads the sound (the last definition field) and performs the standard launch: the
// launch data are stored, the object's -Y axis is turned onto the launch direction and the sound
// plays. It does not move the object.
class CPWeaponObject : public CPGameObject {
public:
    explicit CPWeaponObject(const std::string& name);
    ~CPWeaponObject() override;

    // A new object of the same class from this prototype, ready for its first launch.
    virtual TPtr<CPWeaponObject> Clone() = 0;
    // One frame; false when the object has finished (it goes back to its pool, undrawn).
    virtual bool Update() = 0;
    // Reads the definition fields; false refuses the definition (the reason is logged). The base
    // reads the last field as the sound: a wave file name, optionally followed by ",2d", or "none".
    virtual bool SetParams(const WeaponFields& fields);
    // Brings the object into play; the arguments are those of CPWeaponsSystem::Spawn.
    virtual void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                        void* extra, bool super);
    // The prototype names the object may spawn when launched or updated, for the load's check
    // that follow-ups never lead back to themselves.
    virtual void AppendSpawnedNames(std::vector<std::string>& names) const {}
    // The weapons are cleared while the object is live: it lets go of what it holds in the world.
    virtual void Retire() {}

    // The target shares this object's sound and its 2D flag.
    void CopySoundTo(CPWeaponObject& target) const;

    const PVector3& GetLaunchPosition() const { return m_launchPosition; }
    const PVector3& GetLaunchDirection() const { return m_launchDirection; }
    float GetDamageOverride() const { return m_damageOverride; }
    bool GetSuperFlag() const { return m_super; }
    const std::string& GetSoundName() const { return m_soundName; }
    const TPtr<CNSound>& GetSound() const { return m_sound; }
    bool IsSound2D() const { return m_sound2D; }
    const TPtr<CPRenderObject>& GetRenderObject() const { return m_renderObject; }

protected:
    // Copies the model of the object description into this object (render layer 20), keeping the
    // object's name; false when nothing could be loaded, and the object keeps what it showed.
    bool LoadModel(const std::string& description);
    // The same for a model that must have physics data; false (refused, logged) when it has none.
    bool LoadPhysicalModel(const std::string& description);
    // The render object that CopyFrom gave this clone becomes its own.
    void AdoptCopiedRenderObject();
    // Turns the object's -Y axis onto the direction (no turn for a zero direction).
    void FaceAlong(const PVector3& direction);
    // Logs why the definition is refused ("weapons.dat: <name>: <why>"); false, for SetParams.
    bool RefuseDefinition(const std::string& why) const;
    // True when every number read from the definition was finite; else the definition is refused.
    bool AllNumbersFinite(const CPFieldNumbers& numbers) const;

    PVector3 m_launchPosition{0.0f, 0.0f, 0.0f};
    PVector3 m_launchDirection{0.0f, 0.0f, 0.0f};
    float m_damageOverride = -1.0f;
    bool m_super = false;

private:
    TPtr<CNSound> m_sound;
    std::string m_soundName;
    bool m_sound2D = false;
    TPtr<CPRenderObject> m_renderObject;
};

// The most animation frames and sprites a definition may ask for.
constexpr int32_t kMaxFrames = 1024;
constexpr int32_t kMaxSprites = 64;
// The most particles of one kind (sparks, burst or cloud puffs) a launch may throw.
constexpr int32_t kMaxLaunchParticles = 256;
inline bool IsLaunchParticleCount(int32_t count) { return count >= 0 && count <= kMaxLaunchParticles; }
// Whether columns × rows is a usable grid of animation frames.
inline bool IsFrameGrid(int32_t columns, int32_t rows) {
    return columns >= 1 && rows >= 1 && columns <= kMaxFrames && rows <= kMaxFrames / columns;
}
// The texture rectangles (u0, v0, u1, v1) of the frames of such a grid, row by row.
std::vector<std::array<float, 4>> FrameGridRects(int32_t columns, int32_t rows);
// Whether the owner tag of a definition makes an enemy's object.
inline bool IsEnemyTag(const std::string& tag) { return tag == "enemy"; }
// Whether the object is a living enemy whose kind is never pushed (the walkers).
bool IsUnpushableEnemy(const CPGameObject& object);
// Applies the impulse at the point when the object has a rigid body.
void PushObject(CPGameObject& object, const PVector3& impulse, const PVector3& point);
// Spawns a follow-up object through the weapons system, when there is one.
void SpawnFollowUp(const std::string& name, const PVector3& position, const PVector3& direction, float damage,
                   bool super);
