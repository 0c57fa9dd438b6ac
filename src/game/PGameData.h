#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Singleton.h"
#include "game/GameDataReaders.h"
#include "game/PCarSetup.h"
#include "game/PItemInfo.h"
#include "game/PMission.h"
#include "game/PScoreTable.h"

// The game's state between levels and its item databases: the seven item tables of the shop,
// the texts of Data\strings.txt, the shop's preset set-ups (Data\shop.dat), the high-score table
// (Data\scores.dat), the player's two car set-ups (DATA\player.dat), money, mission, score, the
// hard-mode flag and the four difficulty coefficients (DATA\coeff.dat). Created at start-up,
// loaded once before the game window exists, destroyed last among the singletons at shutdown.
//
// Every file is optional: a missing one leaves its table as it was (empty, the default score
// table, coefficients of 1). A damaged one is refused whole with a line in the log and likewise
// leaves its table as it was; no table is ever filled from half a file.
class CPGameData : public TSingleton<CPGameData> {
public:
    // Empty tables and set-ups, money, mission and score 0, hard mode off, the default score
    // table, every coefficient 1.
    CPGameData();
    virtual ~CPGameData();

    // score = 0, then the coefficients, the seven item tables, the player's start, the texts,
    // the score table and the shop presets, in that order.
    void LoadGameData();

    // The record of that item name, or null; nothing is ever inserted.
    const CPWeaponInfo* FindWeaponInfo(const std::string& name) const;
    const CPMineInfo* FindMineInfo(const std::string& name) const;
    const SPSuperWeaponInfo* FindSuperWeaponInfo(const std::string& name) const;
    const SPBumperInfo* FindBumperInfo(const std::string& name) const;
    const SPEquipmentInfo* FindEquipmentInfo(const std::string& name) const;
    const SPArmorInfo* FindArmorInfo(const std::string& name) const;
    const SPEngineInfo* FindEngineInfo(const std::string& name) const;

    // The text of a key of Data\strings.txt, or null when there is none.
    const std::string* FindText(const std::string& key) const;
    // The text of a key; "" for a key the table does not hold (which is not added).
    std::string GetText(const std::string& key) const;
    // The text of a key as the scripts look texts up: a key the table does not hold is entered
    // with an empty text.
    const std::string& LookUpText(const std::string& key) { return strings[key]; }

    // Score table.
    // Reads Data\scores.dat over the table; a missing or damaged file leaves it as it was, and a
    // damaged one is kept aside (KeepAside) so that saving the table never writes over it.
    void LoadScores();
    // Writes the table to Data\scores.dat as a whole (a temporary file renamed over the old one):
    // false, with the old file left as it was and a line in the log, when it cannot be written.
    bool SaveScores() const;
    // Makes room for a new score: its 0-based place, the lines below moved down one, or -1 when
    // it does not beat the last line. The place is left for SetScoreLine to fill.
    int32_t AddScore(int32_t newScore);
    // Line (0 to 11) becomes {name, score} and the table is
    // saved. False, with nothing changed or written, for a line outside the table; false too
    // when the file cannot be written (the line is set).
    bool SetScoreLine(int32_t line, const std::string& name, int32_t score);
    // Line (0 to 11) of the table, or null outside it.
    const SPScoreLine* GetScoreLine(int32_t line) const;

    // Money and the shop.
    // money = value; the script "gamemenu" is told ("change_money", the value as "%f").
    void SetMoney(float value);
    // The one door for every payment: money grows by moneyAmount (a non-finite amount adds
    // nothing; the sum is held within the finite floats) and score by scoreAmount (held within
    // int32), then the new money goes out as with SetMoney.
    void Earn(float moneyAmount, int32_t scoreAmount);
    // The automatic purchase: with the budget of money plus the value of the edited set-up, the
    // first preset from the last of the current mission's group of three (presets 3 × mission − 1
    // down to 0; the last preset there is when the table is shorter) down to the first that the
    // budget pays becomes the edited set-up, and the rest of the budget the money (SetMoney).
    // False, with nothing changed, when none is affordable or the mission is 0 or below.
    bool BuyBestPreset();

    // Save games (PSaveGame.h), under DATA\Saves. A name must be a plain file name
    // (IsSaveFileName); any other is logged and neither written nor read.
    // Writes the money (truncated toward zero into the 32-bit range), mission, committed set-up,
    // score and hard mode under SaveDescription (name, now). False, logged, when the file cannot
    // be written (the old one then stays as it was).
    bool SaveGame(const std::string& name);
    // Restores money, mission, the committed set-up, score and hard mode from a save that reads
    // whole (ReadSaveGame), then reloads the coefficients. False, logged, with nothing changed,
    // for a missing or damaged save.
    bool LoadGame(const std::string& name);
    // The description the load screen lists for slot 1 to 13: "" unless the slot holds a save
    // that loads.
    std::string GetSaveDescription(int32_t slot) const;
    // The description of a save under the name made at the local time: the text of "autosave"
    // for save13.sav; otherwise the text of "mission", the mission, the text of its planet
    // (none past mission 10) and the time, as "Mission 3: Jupiter - 14:05, 09/12/2026".
    std::string SaveDescription(const std::string& name, const std::tm& localTime);

    // Car set-ups and difficulty.
    // The start set-up of DATA\player.dat (all empty when the file is missing or damaged) becomes
    // both the edited and the committed set-up.
    void LoadPlayer();
    // editedSetup = setup.
    void SetCarSetup(const SPCarSetup& setup);
    // committedSetup = editedSetup.
    void CommitCarSetup();
    // All four coefficients 1 when the difficulty setting is not 0 and hard mode is on;
    // otherwise those of DATA\coeff.dat, or unchanged when it is missing or damaged.
    void LoadCoefficients();
    // The money value of a set-up: the prices of its items (an item missing from its table counts
    // 0), the super weapon's times its charges.
    float GetLoadoutValue(const SPCarSetup& setup) const;
    // True while a slot of the committed set-up is below level 4 or the super weapon is not
    // "super3".
    bool CanUpgradeAll() const;
    // Whether an upgrade pick-up would do anything for the car's current weapon slot (0 to 2;
    // anything else means the car has none): the slot's level is below 4, else the super weapon
    // is not "super3".
    bool CanUpgradeWeapon(int32_t currentSlot) const;
    // Applies one upgrade pick-up to the committed set-up: the current slot's level goes up one,
    // and at levels 2 and 4 "hmgun", "firethrower" and "ssrlauncher" become their next names
    // (telling the script "gamemenu" with "mission_text2" and the text of "lgu", "pgu" or "rlu");
    // a full or missing slot upgrades the super weapon instead ("super" to "super2" to "super3",
    // with the text of "nu"). True when the car must mount its weapons again (levels 2 and 4).
    bool UpgradeWeaponSlot(int32_t currentSlot);

    // Missions (PGameDataMission.cpp).
    // Reads the mission file Data\Levels\<name> (no extension added) of the loaded level:
    // checkPoints and enemySources are replaced and every enemy kind it can send gets its model.
    // A missing file leaves checkPoints empty and enemySources as they were; without a level
    // nothing happens.
    void LoadMissionInfo(const std::string& name);
    // Gives the enemy kind's prototype its model (<kind>.rdf) unless it has one: true when the AI
    // task knows the kind.
    bool PreloadModel(const std::string& kind);

    std::vector<SPScoreLine> scoreTable;
    ItemMap<CPWeaponInfo> weaponInfos;
    ItemList<CPWeaponInfo> weaponList;
    ItemMap<CPMineInfo> mineInfos;
    ItemList<CPMineInfo> mineList;
    ItemMap<SPSuperWeaponInfo> superWeaponInfos;
    ItemList<SPSuperWeaponInfo> superWeaponList;
    ItemMap<SPBumperInfo> bumperInfos;
    ItemList<SPBumperInfo> bumperList;
    ItemMap<SPEquipmentInfo> equipmentInfos;
    ItemList<SPEquipmentInfo> equipmentList;
    ItemMap<SPArmorInfo> armorInfos;
    ItemList<SPArmorInfo> armorList;
    ItemMap<SPEngineInfo> engineInfos;
    ItemList<SPEngineInfo> engineList;
    SPCarSetup editedSetup;     // what the shop edits
    SPCarSetup committedSetup;  // what the car is equipped from
    float money = 0.0f;
    std::unordered_map<std::string, std::string> strings;
    int32_t mission = 0;
    std::vector<SPCarSetup> shopPresets;
    float enemyHealthFactor = 1.0f;   // times every enemy's starting health
    float bonusChanceFactor = 1.0f;   // times the bonus drop chance
    float playerDamageFactor = 1.0f;  // times every hit on the player's car
    float levelTimeFactor = 1.0f;     // times the level time
    int32_t score = 0;                // kills of the current game
    bool hardMode = false;
    // The loaded mission's check points, in file order, and its spawn sources.
    std::vector<SPCheckPointInfo> checkPoints;
    EnemySources enemySources;

private:
    void LoadItemTables();
    void LoadStrings();
    void LoadShopPresets();
    // Sends ("gamemenu", "mission_text2", the text of key) to the scripts.
    void ShowUpgradeText(const std::string& key) const;
};

// Multiplies the damage that hits do: 1 until the player car's "damage" equipment sets it.
inline float g_damageMultiplier = 1.0f;

// The game data, null before its construction and after its destruction.
inline CPGameData* GetGameData() { return CPGameData::Instance(); }
