#include <utility>
#include <vector>

#include "AI/AI_Entity.h"
#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "game/DataFileReader.h"
#include "game/PGameData.h"
#include "game/PLevel.h"

namespace {

constexpr char kMissionFolder[] = "Data\\Levels\\";
// The layer base of every scene object of a level.
constexpr int32_t kLevelLayerBase = 20;

}  // namespace

void CPGameData::LoadMissionInfo(const std::string& name)
{
    const CPLevel* level = GetLevel();
    if (!level) return;
    checkPoints.clear();
    const std::string path = kMissionFolder + name;
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(path, false, bytes)) return;
    SPMission mission;
    ParseMission(bytes.data(), bytes.size(), path, level->spawnSources, mission);
    checkPoints = std::move(mission.checkPoints);
    enemySources = std::move(mission.enemySources);
    for (const std::string& kind : mission.enemyKinds) PreloadModel(kind);
}

bool CPGameData::PreloadModel(const std::string& kind)
{
    const AI_Task* ai = GetAITask();
    AI_Entity* prototype = ai ? ai->FindPrototype(kind) : nullptr;
    if (!prototype) return false;
    CPObjectLoader* loader = GetObjectLoader();
    if (!prototype->Model() && loader) {
        if (TPtr<CPGameObject> model = loader->LoadObject(kind + ".rdf", kLevelLayerBase)) prototype->SetModel(model);
    }
    return true;
}
