// A mission file of Data\Levels: check-point tables and spawn sources, read against a level's
// spawn points, then every band list looked up with every draw.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "game/PMission.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::unordered_map<std::string, PVector3> points{{"src1", {10.0f, 20.0f, 0.0f}}, {"src2", {-5.0f, 0.0f, 0.0f}}};
    SPMission mission;
    ParseMission(data, size, "Data\\Levels\\mission", points, mission);
    for (const SPCheckPointInfo& point : mission.checkPoints) {
        for (int32_t draw = 0; draw < 100; ++draw) {
            FindBand(point.enemyBands, draw);
            FindBand(point.bonusBands, draw);
        }
    }
    return 0;
}
