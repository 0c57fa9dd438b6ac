#include "game/PMission.h"

#include <algorithm>
#include <limits>

#include "core/PLog.h"
#include "core/TextHelpers.h"
#include "game/DataFileReader.h"

namespace {

constexpr size_t kCheckPointFields = 7;
constexpr size_t kSourceFields = 5;
// Lists longer than this are cut: no draw from 0 to 99 can reach a band past the hundredth.
constexpr size_t kLongestList = 4096;

// "kind,count;kind,count": the bands from the running sum of the counts (held to the int range).
ChanceBands ReadBands(const std::string& list, std::vector<std::string>& kinds, bool collectKinds)
{
    ChanceBands bands;
    int64_t sum = 0;
    for (const std::string& item : SplitFields(list, ";", kLongestList)) {
        const std::vector<std::string> pair = SplitFields(item, ",", 2);
        SPChanceBand band;
        band.name = pair.empty() ? std::string() : pair[0];
        band.low = static_cast<int32_t>(sum);
        sum += AtoI(pair.size() > 1 ? pair[1] : std::string());
        sum = std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
        band.high = static_cast<int32_t>(sum);
        if (collectKinds) kinds.push_back(band.name);
        bands.push_back(std::move(band));
        if (bands.size() >= kLongestList) break;
    }
    return bands;
}

bool ReadCheckPoint(const std::string& line, SPCheckPointInfo& point, std::vector<std::string>& kinds, std::string& error)
{
    FieldCursor cursor(SplitFields(line, " ", kCheckPointFields));
    std::string enemies, bonuses;
    cursor.Float(point.param1);
    cursor.Int(point.param2);
    cursor.Int(point.param3);
    cursor.Int(point.param4);
    cursor.Text(enemies);
    cursor.Int(point.bonusChance);
    cursor.Text(bonuses);
    error = cursor.GetError();
    if (!error.empty()) return false;
    point.enemyBands = ReadBands(enemies, kinds, true);
    point.bonusBands = ReadBands(bonuses, kinds, false);
    return true;
}

bool ReadSource(const std::string& line, const std::unordered_map<std::string, PVector3>& spawnPoints,
                const std::string& path, SPMission& mission, std::string& error)
{
    FieldCursor cursor(SplitFields(line, " ", kSourceFields));
    std::string pointName, key, flag, enemies;
    SPEnemySource source;
    cursor.Text(pointName);
    cursor.Text(key);
    cursor.Text(flag);
    cursor.Float(source.param);
    cursor.Text(enemies);
    error = cursor.GetError();
    if (!error.empty()) return false;
    const auto point = spawnPoints.find(pointName);
    if (point != spawnPoints.end()) {
        source.position = point->second;
    } else {
        GetLog()->Print(0, "Mission %s: the level has no spawn point \"%s\"; its source stands at the origin\n",
                        path.c_str(), pointName.c_str());
    }
    source.flag = flag != "0";
    source.enemyBands = ReadBands(enemies, mission.enemyKinds, true);
    mission.enemySources[key].push_back(std::move(source));
    return true;
}

}  // namespace

const SPChanceBand* FindBand(const ChanceBands& bands, int32_t draw)
{
    for (const SPChanceBand& band : bands) {
        if (band.low <= draw && draw < band.high) return &band;
    }
    return nullptr;
}

void ParseMission(const uint8_t* data, size_t size, const std::string& path,
                  const std::unordered_map<std::string, PVector3>& spawnPoints, SPMission& mission)
{
    bool inSources = false;
    for (const SPNumberedLine& line : SplitNumberedLines(data, size)) {
        std::string error;
        if (!inSources && line.text == "sources") {
            inSources = true;
            continue;
        }
        if (inSources) {
            if (!ReadSource(line.text, spawnPoints, path, mission, error)) ReportRefusedLine(path, line.number, error);
            continue;
        }
        SPCheckPointInfo point;
        if (ReadCheckPoint(line.text, point, mission.enemyKinds, error)) {
            mission.checkPoints.push_back(std::move(point));
        } else {
            ReportRefusedLine(path, line.number, error);
        }
    }
}
