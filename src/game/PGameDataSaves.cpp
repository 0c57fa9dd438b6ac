// The game data's save games.
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <iterator>

#include "core/PFileWriter.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "game/DataFileReader.h"
#include "game/PGameData.h"
#include "game/PSaveGame.h"
#include "math/Truncate.h"

namespace {

std::string SavePath(const std::string& name) { return "DATA\\Saves\\" + name; }

// The strings.txt key of the planet of a mission, or null past the last planet.
const char* PlanetKey(int32_t mission)
{
    static constexpr const char* kPlanets[] = {"moon", "mars", "mars", "jupiter", "jupiter", "neptune",
                                               "neptune", "saturn", "saturn", "venus", "venus"};
    constexpr int32_t kPlanetCount = static_cast<int32_t>(std::size(kPlanets));
    return mission >= 0 && mission < kPlanetCount ? kPlanets[mission] : nullptr;
}

bool RefuseName(const std::string& name)
{
    if (IsSaveFileName(name)) return false;
    GetLog()->Print(0, "\"%s\" is not the file name of a save\n", name.c_str());
    return true;
}

std::tm LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace

std::string CPGameData::SaveDescription(const std::string& name, const std::tm& localTime)
{
    if (name == kAutosaveName) return LookUpText("autosave");
    const char* planetKey = PlanetKey(mission);
    const std::string planet = planetKey ? LookUpText(planetKey) : std::string();
    char stamp[64];
    std::snprintf(stamp, sizeof(stamp), " - %02d:%02d, %02d/%02d/%d", localTime.tm_hour, localTime.tm_min,
                  localTime.tm_mday, localTime.tm_mon + 1, localTime.tm_year + 1900);
    return LookUpText("mission") + " " + std::to_string(mission) + ": " + planet + stamp;
}

bool CPGameData::SaveGame(const std::string& name)
{
    if (RefuseName(name)) return false;
    SPSaveGame save;
    save.description = SaveDescription(name, LocalTimeNow());
    save.money = TruncateToInt32(money);
    save.mission = mission;
    save.setup = committedSetup;
    save.score = score;
    save.hardMode = hardMode;
    const std::vector<uint8_t> bytes = SaveGameBytes(save);
    CPFileWriter writer(SavePath(name), true);
    writer.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (writer.Save() == S_OK) return true;
    GetLog()->Print(0, "Cannot write the save %s\n", SavePath(name).c_str());
    return false;
}

bool CPGameData::LoadGame(const std::string& name)
{
    if (RefuseName(name)) return false;
    SPSaveGame save;
    const DataFileResult result =
        LoadDataFile(SavePath(name), true, [&](const uint8_t* data, size_t size, std::string& error) {
            return ReadSaveGame(data, size, save, error);
        });
    if (result != DataFileResult::Loaded) {
        if (result == DataFileResult::Missing) GetLog()->Print(0, "No save %s\n", SavePath(name).c_str());
        return false;
    }
    money = static_cast<float>(save.money);
    mission = save.mission;
    committedSetup = save.setup;
    score = save.score;
    hardMode = save.hardMode;
    LoadCoefficients();
    return true;
}

std::string CPGameData::GetSaveDescription(int32_t slot) const
{
    char path[64];
    std::snprintf(path, sizeof(path), "data\\saves\\save%" PRId32 ".sav", slot);
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(path, true, bytes)) return "";
    SPSaveGame save;
    std::string error;
    return ReadSaveGame(bytes.data(), bytes.size(), save, error) ? save.description : "";
}
