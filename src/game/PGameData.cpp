#include "game/PGameData.h"

#include <utility>

#include "core/FileAside.h"
#include "core/PFileWriter.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "game/DataFileReader.h"

namespace {

constexpr char kScoresPath[] = "Data\\scores.dat";

// Reads one item file line by line; a file that cannot be read leaves its table as it was.
template <class Info>
void LoadItemTable(const char* path, ItemMap<Info>& infos, ItemList<Info>& list)
{
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(path, false, bytes)) return;
    ItemMap<Info> readInfos;
    ItemList<Info> readList;
    ParseItemTable(bytes.data(), bytes.size(), path, readInfos, readList);
    infos = std::move(readInfos);
    list = std::move(readList);
}

template <class Info>
const Info* Find(const ItemMap<Info>& infos, const std::string& name)
{
    const auto found = infos.find(name);
    return found == infos.end() ? nullptr : &found->second;
}

}  // namespace

CPGameData::CPGameData() : scoreTable(DefaultScoreTable()) {}

CPGameData::~CPGameData() = default;

void CPGameData::LoadGameData()
{
    score = 0;
    LoadCoefficients();
    LoadItemTables();
    LoadPlayer();
    LoadStrings();
    LoadScores();
    LoadShopPresets();
}

void CPGameData::LoadItemTables()
{
    LoadItemTable("Data\\w_info.dat", weaponInfos, weaponList);
    LoadItemTable("Data\\m_info.dat", mineInfos, mineList);
    LoadItemTable("Data\\b_info.dat", bumperInfos, bumperList);
    LoadItemTable("Data\\sw_info.dat", superWeaponInfos, superWeaponList);
    LoadItemTable("Data\\e_info.dat", equipmentInfos, equipmentList);
    LoadItemTable("Data\\a_info.dat", armorInfos, armorList);
    LoadItemTable("Data\\d_info.dat", engineInfos, engineList);
}

void CPGameData::LoadStrings()
{
    constexpr char kPath[] = "Data\\strings.txt";
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(kPath, false, bytes)) return;
    std::unordered_map<std::string, std::string> read;
    ParseStrings(bytes.data(), bytes.size(), kPath, read);
    strings = std::move(read);
}

void CPGameData::LoadShopPresets()
{
    std::vector<SPCarSetup> read;
    const DataFileResult result =
        LoadDataFile("Data\\shop.dat", false, [&](const uint8_t* data, size_t size, std::string& error) {
            return ParseShopPresets(data, size, read, error);
        });
    if (result == DataFileResult::Loaded) shopPresets = std::move(read);
}

const CPWeaponInfo* CPGameData::FindWeaponInfo(const std::string& name) const { return Find(weaponInfos, name); }
const CPMineInfo* CPGameData::FindMineInfo(const std::string& name) const { return Find(mineInfos, name); }
const SPSuperWeaponInfo* CPGameData::FindSuperWeaponInfo(const std::string& name) const
{
    return Find(superWeaponInfos, name);
}
const SPBumperInfo* CPGameData::FindBumperInfo(const std::string& name) const { return Find(bumperInfos, name); }
const SPEquipmentInfo* CPGameData::FindEquipmentInfo(const std::string& name) const
{
    return Find(equipmentInfos, name);
}
const SPArmorInfo* CPGameData::FindArmorInfo(const std::string& name) const { return Find(armorInfos, name); }
const SPEngineInfo* CPGameData::FindEngineInfo(const std::string& name) const { return Find(engineInfos, name); }

const std::string* CPGameData::FindText(const std::string& key) const
{
    return Find(strings, key);
}

std::string CPGameData::GetText(const std::string& key) const
{
    const std::string* text = FindText(key);
    return text ? *text : std::string();
}

void CPGameData::LoadScores()
{
    std::vector<SPScoreLine> read;
    const DataFileResult result = LoadDataFile(kScoresPath, true, [&](const uint8_t* data, size_t size, std::string& error) {
        return ReadScoreTable(data, size, read, error);
    });
    if (result == DataFileResult::Loaded) scoreTable = std::move(read);
    if (result != DataFileResult::Refused) return;
    // The player's scores are never written over: the next SaveScores starts a new file.
    const std::string aside = KeepAside(kScoresPath);
    if (!aside.empty()) GetLog()->Print(0, "The refused %s is kept as %s\n", kScoresPath, aside.c_str());
}

bool CPGameData::SaveScores() const
{
    CPFileWriter writer(kScoresPath, true);
    const std::vector<uint8_t> bytes = ScoreTableBytes(scoreTable);
    writer.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (writer.Save() == S_OK) return true;
    GetLog()->Print(0, "Cannot write the score table to %s\n", kScoresPath);
    return false;
}

int32_t CPGameData::AddScore(int32_t newScore)
{
    return RankScore(scoreTable, newScore);
}

bool CPGameData::SetScoreLine(int32_t line, const std::string& name, int32_t newScore)
{
    if (line < 0 || line >= kScoreLineCount) {
        GetLog()->Print(0, "Score line %d is outside the table of %d lines\n", line, kScoreLineCount);
        return false;
    }
    scoreTable[line] = {name, newScore};
    return SaveScores();
}

const SPScoreLine* CPGameData::GetScoreLine(int32_t line) const
{
    return line >= 0 && line < kScoreLineCount ? &scoreTable[line] : nullptr;
}
