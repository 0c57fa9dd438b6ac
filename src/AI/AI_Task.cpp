#include "AI/AI_Task.h"

#include <algorithm>
#include <utility>

#include "AI/AIManager.h"
#include "AI/AI_Entity.h"
#include "AI/SimpleVehicle.h"
#include "Render/PGameObject.h"
#include "Sound/NAudio.h"
#include "core/PGlobalTimer.h"
#include "core/PLog.h"
#include "game/DataFileReader.h"

namespace {

constexpr char kTypesPath[] = "Data\\ai.dat";
constexpr char kKindFolder[] = "Data\\Ai\\";
// Prototypes stand a little above their standing height.
constexpr float kPrototypeLift = 0.3f;
// Room for the objects around one enemy, so a crowd of them does not grow the list mid-level.
constexpr size_t kScratchObjectRoom = 256;

}  // namespace

AI_Task::AI_Task() : manager(std::make_unique<CPAIManager>()), targetVehicle(new SimpleVehicle)
{
    scratchObjects.reserve(kScratchObjectRoom);
}

AI_Task::~AI_Task() = default;

void AI_Task::Update()
{
    const CPGlobalTimer* timer = GetGlobalTimer();
    if (timer && timer->IsStopped()) return;
    manager->Update(g_frameDelta);
}

bool AI_Task::IsEnemy(const AI_Entity* entity) const { return entity && manager->ContainsEntity(entity); }

bool AI_Task::IsWalkerKind(const std::string& kind)
{
    return kind == "walker" || kind == "walker_2" || kind == "walker3";
}

void AI_Task::LoadTypes()
{
    if (typesLoaded) return;
    typesLoaded = true;
    walkerCount = 0;
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(kTypesPath, false, bytes)) return;
    for (SPEnemyTypeLine& line : ParseEnemyTypes(bytes.data(), bytes.size(), kTypesPath)) {
        SPKindFile kind;
        if (!line.kindFileName.empty()) LoadKindFile(kKindFolder + line.kindFileName, kind);
        line.type.melee[0] = kind.melee[0];
        line.type.melee[1] = kind.melee[1];
        line.type.fire = kind.fire;
        line.type.animationSounds = std::move(kind.animationSounds);
        kindSounds[line.kind] = line.loopSound;
        enemyTypes[line.kind] = std::move(line.type);
    }
    BuildPrototypes();
}

bool AI_Task::LoadKindFile(const std::string& path, SPKindFile& kind)
{
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(path, false, bytes)) return false;
    ParseKindFile(bytes.data(), bytes.size(), path, kind);
    return true;
}

void AI_Task::BuildPrototypes()
{
    for (const auto& [kind, type] : enemyTypes) {
        TPtr<AI_Entity> prototype(new AI_Entity(kind, {0.0f, 0.0f, type.heightOffset + kPrototypeLift}, type.forward));
        prototype->ApplyType(type);
        prototypes[kind] = prototype;
    }
}

AI_Entity* AI_Task::FindPrototype(const std::string& kind) const
{
    const auto found = prototypes.find(kind);
    return found == prototypes.end() ? nullptr : found->second.Get();
}

int32_t AI_Task::LiveCount(const std::string& kind) const
{
    const auto found = liveCounts.find(kind);
    return found == liveCounts.end() ? 0 : found->second;
}

bool AI_Task::AddEnemy(const std::string& kind, float x, float y)
{
    const AI_Entity* prototype = FindPrototype(kind);
    if (!prototype) {
        GetLog()->Print(0, "AddEnemy: no enemy kind \"%s\" in %s\n", kind.c_str(), kTypesPath);
        return false;
    }
    const TPtr<AI_Entity> enemy = prototype->Spawn(x, y);
    if (!enemy) return false;
    manager->AddEntity(enemy);
    if (IsWalkerKind(kind)) ++walkerCount;
    const int32_t count = ++liveCounts[kind];
    const auto sound = kindSounds.find(kind);
    CNAudio* audio = GetAudio();
    if (count >= 1 && sound != kindSounds.end() && audio) audio->PlaySoundByName(sound->second, true);
    return true;
}

void AI_Task::OnEnemyRemoved(const std::string& kind)
{
    if (IsWalkerKind(kind)) --walkerCount;
    const int32_t count = --liveCounts[kind];
    if (count >= 1) return;
    const auto sound = kindSounds.find(kind);
    CNAudio* audio = GetAudio();
    if (sound != kindSounds.end() && audio) audio->StopSoundByName(sound->second);
}

void AI_Task::StopLevel()
{
    manager->StopLevel();
    StopEnemySounds();
    Stop();
}

void AI_Task::StopEnemySounds() const
{
    CNAudio* audio = GetAudio();
    if (!audio) return;
    for (const auto& [kind, sound] : kindSounds) {
        if (!sound.empty()) audio->StopSoundByName(sound);
    }
    for (const auto& [kind, type] : enemyTypes) {
        for (const auto& [key, sound] : type.animationSounds) {
            if (!sound.empty()) audio->StopSoundByName(sound);
        }
    }
}

void AI_Task::UpdateTargetVehicle(const CPGameObject& car, const PVector3& direction, float speed)
{
    targetVehicle->SetPosition(car.GetPosition());
    const PVector3 half = car.GetPartBounds().HalfExtentsOrZero();
    targetVehicle->SetRadius(std::max({half.x, half.y, half.z}));
    PVector3 flat = Vec3Normalize({direction.x, direction.y, 0.0f});
    if (speed < 0.0f) {
        speed = -speed;
        flat = -flat;
    }
    if (flat.x != 0.0f || flat.y != 0.0f) targetVehicle->SetForward({flat.x, flat.y, 0.0f});
    targetVehicle->SetSpeed(speed);
    targetVehicle->SetMaxSpeed(speed);
}
