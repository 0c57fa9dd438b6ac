#include "AI/EnemyPlacement.h"

#include <algorithm>
#include <cmath>

#include "AI/AI_Entity.h"
#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "platform/Random.h"

namespace {

constexpr float kSourceNear = 60.0f;
constexpr float kSourceFar = 70.0f;
// Table draws before giving up on a table that keeps giving walkers.
constexpr int32_t kMaxTableDraws = 1000;
constexpr int32_t kPlacementTries = 15;
constexpr float kLevelMargin = 20.0f;
// The square's side: the lose range times this, 4 around a given centre, and within these bounds.
constexpr float kRangeFactor = 1.5f;
constexpr float kCentreSide = 4.0f;
constexpr float kLargestSide = 100000.0f;
// Above this speed the car usually has enemies come from behind it.
constexpr float kFastCar = 2.0f;

bool IsAcceptable(const std::string& kind, int32_t walkers) { return !AI_Task::IsWalkerKind(kind) || walkers == 0; }

// Whether some draw from 0 to 99 gives an acceptable kind.
bool CanYieldKind(const ChanceBands& bands, int32_t walkers)
{
    return std::any_of(bands.begin(), bands.end(), [walkers](const SPChanceBand& band) {
        return band.low < band.high && band.low < 100 && band.high > 0 && IsAcceptable(band.name, walkers);
    });
}

bool IsCandidate(const SPEnemySource& source, bool flag, const PVector3& car)
{
    const float distance = Vec3Length(source.position - car);
    return source.flag == flag && distance > kSourceNear && distance < kSourceFar;
}

const std::vector<SPEnemySource>* SourcesOf(const std::string& key)
{
    const CPGameData* data = GetGameData();
    if (!data) return nullptr;
    const auto found = data->enemySources.find(key);
    return found == data->enemySources.end() ? nullptr : &found->second;
}

// The kind from the sources near the car, when one is near.
bool ChooseFromSources(const std::string& key, bool useSources, const PVector3& car, SPEnemyChoice& choice)
{
    const std::vector<SPEnemySource>* sources = SourcesOf(key);
    if (!sources) return false;
    const auto candidates =
        std::count_if(sources->begin(), sources->end(), [&](const SPEnemySource& s) { return IsCandidate(s, useSources, car); });
    if (candidates == 0) return false;
    auto pick = platform::Rand() % candidates;
    for (const SPEnemySource& source : *sources) {
        if (!IsCandidate(source, useSources, car) || pick-- > 0) continue;
        choice.found = true;
        if (const SPChanceBand* band = FindBand(source.enemyBands, platform::Rand() % 100)) choice.kind = band->name;
        choice.x = source.position.x;
        choice.y = source.position.y;
        break;
    }
    return true;
}

// The kind from the check point's table; false when the table cannot give one.
bool ChooseFromTable(int32_t number, SPEnemyChoice& choice)
{
    const CPGameData* data = GetGameData();
    const AI_Task* ai = GetAITask();
    if (!data || number < 1 || static_cast<size_t>(number) > data->checkPoints.size()) return false;
    const ChanceBands& bands = data->checkPoints[static_cast<size_t>(number - 1)].enemyBands;
    const int32_t walkers = ai ? ai->WalkerCount() : 0;
    if (!CanYieldKind(bands, walkers)) return false;
    for (int32_t draw = 0; draw < kMaxTableDraws; ++draw) {
        const SPChanceBand* band = FindBand(bands, platform::Rand() % 100);
        if (!band) continue;
        choice.kind = band->name;
        if (IsAcceptable(band->name, walkers)) return true;
    }
    choice.kind.clear();
    return false;
}

// One candidate offset from the centre.
PVector3 PlacementOffset(float side, const PMatrix& carRotation, float carSpeed)
{
    if (carSpeed > kFastCar && platform::Rand() % 5 > 0) {
        // Behind the car, turned aside by at most about 14 degrees.
        const int32_t k = platform::Rand() % static_cast<int32_t>(side * 0.25f);
        const PVector3 behind{static_cast<float>(k) - side * 0.125f, -side * 0.5f, 0.0f};
        const PVector3 u = Vec3Normalize(Vec3TransformCoord(behind, carRotation)) * (side * 0.5f);
        return {u.x, u.y, 0.0f};
    }
    // On a random side of the square.
    const float half = side * 0.5f;
    const auto along = [side, half] { return static_cast<float>(platform::Rand() % static_cast<int32_t>(side)) - half; };
    const auto edge = [half] { return platform::Rand() % 2 == 1 ? -half : half; };
    if (platform::Rand() % 2 == 1) {
        const float x = along();
        return {x, edge(), 0.0f};
    }
    const float y = along();
    return {edge(), y, 0.0f};
}

}  // namespace

SPEnemyChoice ChooseEnemyType(int32_t number, const std::string& key, bool useSources)
{
    SPEnemyChoice choice;
    const CPLevel* level = GetLevel();
    if (!level || !level->playerCar) return choice;
    const bool fromSource = ChooseFromSources(key, useSources, level->playerCar->GetPosition(), choice);
    if (!fromSource && !ChooseFromTable(number, choice)) return SPEnemyChoice();
    if (!useSources) {
        choice.found = true;
        choice.x = level->respawnPoint.x;
        choice.y = level->respawnPoint.y;
    }
    return choice;
}

bool IsEnemySourceNear(bool flag, const std::string& key)
{
    const CPLevel* level = GetLevel();
    const std::vector<SPEnemySource>* sources = SourcesOf(key);
    if (!level || !level->playerCar || !sources) return false;
    const PVector3 car = level->playerCar->GetPosition();
    return std::any_of(sources->begin(), sources->end(), [&](const SPEnemySource& s) { return IsCandidate(s, flag, car); });
}

SPEnemyChoice FindPositionForEnemy(const std::string& kind, bool centreGiven, float cx, float cy)
{
    SPEnemyChoice place;
    const CPLevel* level = GetLevel();
    const AI_Task* ai = GetAITask();
    const AI_Entity* prototype = ai ? ai->FindPrototype(kind) : nullptr;
    if (!level || !level->playerCar || !prototype) return place;
    const float side = std::clamp(centreGiven ? kCentreSide : prototype->Type().loseRange * kRangeFactor, kCentreSide, kLargestSide);
    const float hx = level->width * 0.5f - kLevelMargin;
    const float hy = level->depth * 0.5f - kLevelMargin;
    if (!(hx >= 0.0f && hy >= 0.0f)) return place;  // a level too small to place anything in
    const CPGameObject& car = *level->playerCar;
    const PVector3 centre = centreGiven ? PVector3{cx, cy, 0.0f} : car.GetPosition();
    const PMatrix rotation = MatrixRotationQuaternion(car.GetRotation());
    for (int32_t attempt = 0; attempt < kPlacementTries; ++attempt) {
        const PVector3 d = PlacementOffset(side, rotation, level->playerSpeed);
        // A candidate beyond the playable square comes onto its nearest point: near the level's
        // edge most of the square around the car (or around a centre the script took further
        // out) lies beyond it, and enemies would stop coming there.
        place.x = std::clamp(centre.x + d.x, -hx, hx);
        place.y = std::clamp(centre.y + d.y, -hy, hy);
        if (ai->IsCellFree(place.x, place.y)) {
            place.found = true;
            break;
        }
    }
    return place;
}
