#include "weapons/PWeaponsSystem.h"

#include <algorithm>

#include "core/PFile.h"
#include "core/PLog.h"
#include "core/PTextReader.h"
#include "game/PLevel.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Sound/NAudio.h"
#include "weapons/PBonus.h"
#include "weapons/PEmp.h"
#include "weapons/PGauss.h"
#include "weapons/PGExplosion.h"
#include "weapons/PGib.h"
#include "weapons/PPlazma.h"
#include "weapons/PMine.h"
#include "weapons/PRocket.h"
#include "weapons/PSExplosion.h"
#include "weapons/PSimple.h"
#include "weapons/PSparks.h"
#include "weapons/PSplash.h"
#include "weapons/PSuper.h"
#include "weapons/PTrasser.h"
#include "weapons/WeaponDefinitions.h"

namespace {

// The pool map's initial bucket count.
constexpr size_t kPoolBuckets = 100;

TPtr<CPWeaponObject> Construct(const std::string& name, const std::string& key) {
    if (key == "simple") return TPtr<CPWeaponObject>(new CPSimple(name));
    if (key == "s_explosion") return TPtr<CPWeaponObject>(new CPSExplosion(name, 0));
    if (key == "s_explosion1") return TPtr<CPWeaponObject>(new CPSExplosion(name, 1));
    if (key == "g_explosion") return TPtr<CPWeaponObject>(new CPGExplosion(name));
    if (key == "rocket") return TPtr<CPWeaponObject>(new CPRocket(name));
    if (key == "s_rocket") return TPtr<CPWeaponObject>(new CPSRocket(name));
    if (key == "trasser") return TPtr<CPWeaponObject>(new CPTrasser(name));
    if (key == "gauss") return TPtr<CPWeaponObject>(new CPGauss(name));
    if (key == "gib") return TPtr<CPWeaponObject>(new CPGib(name));
    if (key == "gib1") return TPtr<CPWeaponObject>(new CPGib1(name));
    if (key == "plazma") return TPtr<CPWeaponObject>(new CPPlazma(name));
    if (key == "s_plazma") return TPtr<CPWeaponObject>(new CPSPlazma(name));
    if (key == "sparks") return TPtr<CPWeaponObject>(new CPSparks(name));
    if (key == "blood" || key == "oil" || key == "grelk") return TPtr<CPWeaponObject>(new CPSplash(name));
    if (key == "mine") return TPtr<CPWeaponObject>(new CPMine(name));
    if (key == "emp") return TPtr<CPWeaponObject>(new CPEmp(name));
    if (key == "bonus") return TPtr<CPWeaponObject>(new CPBonus(name));
    if (key == "super") return TPtr<CPWeaponObject>(new CPSuper(name, 0));
    if (key == "super2") return TPtr<CPWeaponObject>(new CPSuper(name, 1));
    if (key == "super3") return TPtr<CPWeaponObject>(new CPSuper(name, 2));
    return nullptr;
}

// Explosions that shake the camera.
bool Shakes(const std::string& name) {
    static const char* const kNames[] = {"rocket_exp1", "rocket_exp2", "rocket_exp3", "mine_exp1",
                                         "mine_exp2",   "mine_exp3",   "player_death"};
    return std::any_of(std::begin(kNames), std::end(kNames), [&name](const char* shaking) { return name == shaking; });
}

}  // namespace

CPWeaponsSystem::CPWeaponsSystem() {
    m_pools.reserve(kPoolBuckets);
    IExplosionSpawner::Install(this);
}

CPWeaponsSystem::~CPWeaponsSystem() {
    IExplosionSpawner::Uninstall(this);
    Clear();
}

void CPWeaponsSystem::SpawnExplosion(const char* name, const PVector3& point) {
    Spawn(name, point, {0.0f, 0.0f, 1.0f}, -1.0f, nullptr, nullptr, true);
}

void CPWeaponsSystem::PlayExplosionSound(const char* name) {
    CNAudio* audio = GetAudio();
    if (!audio) return;
    const TPtr<CNSound> sound = audio->GetSound(name);
    if (!sound) return;
    if (sound->IsPlaying()) {
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, 0);
}

bool CPWeaponsSystem::Start() {
    CPFile file("Data\\weapons.dat");
    if (file.Load() != 0) {
        GetLog()->Print(0, "weapons: cannot read Data\\weapons.dat\n");
        return false;
    }
    LoadDefinitions(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
    return IPTask::Start();
}

void CPWeaponsSystem::LoadDefinitions(const char* text, int32_t size) {
    CPTextReader reader(text, size);
    std::string line;
    SPWeaponLine definition;
    while (reader.ReadLine(line)) {
        if (!SplitWeaponLine(line, definition)) {
            GetLog()->Print(0, "weapons.dat: \"%s\" has no type key, skipped\n", line.c_str());
            continue;
        }
        TPtr<CPWeaponObject> prototype = CreateObject(definition.name, definition.key, definition.fields);
        if (prototype) m_pools[definition.name].push_back(prototype);
    }
    RemoveFollowUpCycles();
}

TPtr<CPWeaponObject> CPWeaponsSystem::CreateObject(const std::string& name, const std::string& key,
                                                   const WeaponFields& fields) {
    const int minimum = MinimumFieldCount(key);
    if (minimum < 0) {
        GetLog()->Print(0, "weapons.dat: %s: unknown type key \"%s\", skipped\n", name.c_str(), key.c_str());
        return nullptr;
    }
    if (static_cast<int>(fields.size()) < minimum) {
        GetLog()->Print(0, "weapons.dat: %s: %s needs %d fields, has %d; skipped\n", name.c_str(), key.c_str(),
                        minimum, static_cast<int>(fields.size()));
        return nullptr;
    }
    TPtr<CPWeaponObject> object = Construct(name, key);
    if (!object->SetParams(fields)) {
        GetLog()->Print(0, "weapons.dat: %s: refused, see above\n", name.c_str());
        return nullptr;
    }
    return object;
}

void CPWeaponsSystem::RemoveFollowUpCycles() {
    std::vector<std::string> cyclic;
    std::vector<std::string> visited;
    for (const auto& [name, pool] : m_pools) {
        visited.clear();
        if (!pool.empty() && LeadsBackTo(name, name, visited)) cyclic.push_back(name);
    }
    for (const std::string& name : cyclic) {
        GetLog()->Print(0, "weapons.dat: %s: its follow-ups lead back to it, skipped\n", name.c_str());
        m_pools.erase(name);
    }
}

bool CPWeaponsSystem::LeadsBackTo(const std::string& start, const std::string& name,
                                  std::vector<std::string>& visited) const {
    const auto found = m_pools.find(name);
    if (found == m_pools.end() || found->second.empty()) return false;
    std::vector<std::string> next;
    found->second.front()->AppendSpawnedNames(next);
    for (const std::string& spawned : next) {
        if (spawned == start) return true;
        if (std::find(visited.begin(), visited.end(), spawned) != visited.end()) continue;
        visited.push_back(spawned);
        if (LeadsBackTo(start, spawned, visited)) return true;
    }
    return false;
}

void CPWeaponsSystem::Spawn(const std::string& prototype, const PVector3& position, const PVector3& direction,
                            float damage, CPSmartPointer source, void* extra, bool super) {
    Pool& pool = m_pools[prototype];
    if (pool.empty()) return;
    if (m_spawnDepth >= kMaxSpawnDepth) {
        GetLog()->Print(0, "weapons: %s spawned %d follow-ups deep, dropped\n", prototype.c_str(), m_spawnDepth);
        return;
    }
    if (m_spawnDepth == 0) m_followUps = 0;
    if (m_spawnDepth > 0 && ++m_followUps > kMaxFollowUpsPerSpawn) {
        if (m_followUps == kMaxFollowUpsPerSpawn + 1) {
            GetLog()->Print(0, "weapons: a spawn made more than %d follow-ups; %s and the rest dropped\n",
                            kMaxFollowUpsPerSpawn, prototype.c_str());
        }
        return;
    }
    TPtr<CPWeaponObject> object;
    if (pool.size() == 1) {
        object = pool.front()->Clone();
    } else {
        object = std::move(pool.back());
        pool.pop_back();
    }
    if (Shakes(prototype)) ShakeCamera(prototype, position);
    ++m_spawnDepth;
    object->Launch(position, direction, damage, std::move(source), extra, super);
    --m_spawnDepth;
    m_live.push_back(std::move(object));
}

void CPWeaponsSystem::ShakeCamera(const std::string&, const PVector3& position) {
    CPLevel* level = GetLevel();
    if (!level || !level->playerCar || level->shakeCooldown != 0.0f) return;
    const float distance = Vec3Length(position - level->playerCar->GetPosition());
    level->shakeTime = 0.0f;
    level->shakeCooldown = kShakeCooldown;
    // A far blast lowers the shake, never below none.
    const float added = (kShakeRange - distance) / kShakeRange;
    level->shakeStrength = std::max(0.0f, std::min(kMaxShake, level->shakeStrength + added));
}

void CPWeaponsSystem::Update() {
    CPRender* render = GetRender();
    TPtr<CPRenderBlock> block = render ? render->GetRenderBlock() : nullptr;
    size_t kept = 0;
    // Objects spawned during the walk are appended and reached in this same walk.
    for (size_t i = 0; i < m_live.size(); ++i) {
        TPtr<CPWeaponObject> object = std::move(m_live[i]);
        if (object->Update()) {
            if (block) block->AddObjectTree(object);
            m_live[kept++] = std::move(object);
        } else {
            m_pools[object->GetName()].push_back(std::move(object));
        }
    }
    m_live.resize(kept);
}

void CPWeaponsSystem::Clear() {
    for (const TPtr<CPWeaponObject>& object : m_live) object->Retire();
    m_live.clear();
}

const std::vector<TPtr<CPWeaponObject>>* CPWeaponsSystem::GetPool(const std::string& name) const {
    const auto found = m_pools.find(name);
    return found == m_pools.end() ? nullptr : &found->second;
}
