#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/PTask.h"
#include "core/Singleton.h"
#include "math/PVector3.h"
#include "Render/IExplosionSpawner.h"
#include "weapons/PWeaponObject.h"

// The weapons task (priority 390, set by the application, which creates it and adds it to the
// kernel): owns every shot, explosion, debris piece, splash, spark burst, mine, bonus, EMP blast
// and super weapon. Start reads Data\weapons.dat and makes one prototype per line; Spawn
// launches a copy by prototype name; Update advances every live object once a frame, draws the
// ones still alive and returns the finished ones to the pool of their name, from which the next
// Spawn of that name takes the most recently finished one before it clones the prototype again.
// Pools only grow.
//
// Lines the system refuses are logged and skipped: an unknown type key, fewer fields than the
// class reads, a number that is not finite ("inf", "nan", beyond the float range), values its
// class cannot run with, and follow-up names that lead back to the line itself.
//
// Spawns nested deeper than kMaxSpawnDepth (a follow-up chain the load could not see) are logged
// and dropped, and so are the follow-ups of one spawn beyond kMaxFollowUpsPerSpawn (a chain that
// fans out): one launch never makes more objects than that.
//
// While it exists the system is the scene objects' explosion spawner (IExplosionSpawner).
class CPWeaponsSystem : public IPTask, public IExplosionSpawner, public TSingleton<CPWeaponsSystem> {
public:
    static constexpr int32_t kMaxSpawnDepth = 8;
    static constexpr int32_t kMaxFollowUpsPerSpawn = 256;
    // The camera shake of the heavy explosions.
    static constexpr float kShakeCooldown = 0.15f;
    static constexpr float kShakeRange = 90.0f;
    static constexpr float kMaxShake = 3.0f;

    CPWeaponsSystem();
    ~CPWeaponsSystem() override;

    // Reads Data\weapons.dat; false when it cannot be read (no prototype exists then).
    bool Start() override;
    void Update() override;
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPWeaponsSystem"; }

    // Makes the prototypes of the definition text, appending to the pools.
    void LoadDefinitions(const char* text, int32_t size);
    // The factory: a prototype of the type key read from the fields, or null (logged) when the key
    // is unknown or the fields are refused.
    TPtr<CPWeaponObject> CreateObject(const std::string& name, const std::string& key, const WeaponFields& fields);

    // Launches an object of the named prototype: the last idle one of its pool, else a clone of
    // the prototype. A damage below 0 keeps the definition's. Spawns nothing for a name without
    // a prototype.
    void Spawn(const std::string& prototype, const PVector3& position, const PVector3& direction, float damage,
               CPSmartPointer source, void* extra, bool super);
    // A wreck's explosion: a super spawn of the prototype going up, with the definition's damage.
    void SpawnExplosion(const char* name, const PVector3& point) override;
    // Plays the named sound of the audio from its start; nothing without audio or such a sound.
    void PlayExplosionSound(const char* name) override;
    // Drops every live object (they leave the world and do not go back to the pools); the
    // prototypes and the idle objects stay.
    void Clear();

    const std::vector<TPtr<CPWeaponObject>>& GetLiveObjects() const { return m_live; }
    // The pool of a name: its prototype first, then the idle objects; null when the name was never
    // defined or spawned.
    const std::vector<TPtr<CPWeaponObject>>* GetPool(const std::string& name) const;

private:
    using Pool = std::vector<TPtr<CPWeaponObject>>;

    // Refuses the prototypes whose follow-up names lead back to themselves.
    void RemoveFollowUpCycles();
    bool LeadsBackTo(const std::string& start, const std::string& name, std::vector<std::string>& visited) const;
    static void ShakeCamera(const std::string& name, const PVector3& position);

    std::unordered_map<std::string, Pool> m_pools;
    std::vector<TPtr<CPWeaponObject>> m_live;
    int32_t m_spawnDepth = 0;
    // The follow-ups the current outermost spawn has made.
    int32_t m_followUps = 0;
};

// The weapons task, null before its construction and after its destruction.
inline CPWeaponsSystem* GetWeaponsSystem() { return CPWeaponsSystem::Instance(); }
