#pragma once

struct lua_State;
struct SPCarSetup;

// The game table's shop functions: the item tables, the offered items, the edited and committed
// car set-ups, the automatic purchase, money, mission and kills. Without the game data they do
// nothing and return nothing.
//
// The set-up order of GetCarInfo and SetCarInfo: weapons 1 to 3, equipment 1 and 2, bumper,
// engine, armour, super weapon (names), super-weapon count (number), mine (name).

// Get<Table>Info (name) -> the display text of the item, its price and the numbers of its record,
// the text of its description and the first mission it is offered in (weapons 12 results, mines
// 11, super weapons 4, bumpers, equipment and armour 5, engines 9). Texts are looked up as the
// scripts do (a missing key is entered empty). No results for a name that is not in the table.
int ScriptGetWeaponInfo(lua_State* state);
int ScriptGetMineInfo(lua_State* state);
int ScriptGetSuperWeaponInfo(lua_State* state);
int ScriptGetBumperInfo(lua_State* state);
int ScriptGetEquipmentInfo(lua_State* state);
int ScriptGetArmorInfo(lua_State* state);
int ScriptGetEngineInfo(lua_State* state);

// Get<Table>Names () -> n, {names}: the items of the table, in file order, that the shop offers:
// first offered by the current mission (by mission 15 in hard mode) and not already in the edited
// set-up's slots of their kind. No super weapon is offered while the edited set-up holds 99.
int ScriptGetWeaponNames(lua_State* state);
int ScriptGetMineNames(lua_State* state);
int ScriptGetSuperWeaponNames(lua_State* state);
int ScriptGetBumperNames(lua_State* state);
int ScriptGetEquipmentNames(lua_State* state);
int ScriptGetArmorNames(lua_State* state);
int ScriptGetEngineNames(lua_State* state);

// IsValidGameDataName (name) -> whether any item table has an item of exactly that name.
int ScriptIsValidGameDataName(lua_State* state);

// GetCarInfo () -> the eleven values of the edited set-up.
int ScriptGetCarInfo(lua_State* state);
// SetCarInfo (eleven values): the edited set-up becomes them, with every weapon level 0. A value
// that is no text counts as an empty slot.
int ScriptSetCarInfo(lua_State* state);
// CommitCarSettings (): the committed set-up becomes the edited one.
int ScriptCommitCarSettings(lua_State* state);
// AutoSetting (): the automatic purchase (CPGameData::BuyBestPreset).
int ScriptAutoSetting(lua_State* state);
// InitPlayer (): both set-ups become the player's start (DATA\player.dat).
int ScriptInitPlayer(lua_State* state);

// SetMoney (x): the money becomes x, and the interface is told; a value that is no finite float
// changes nothing.
int ScriptSetMoney(lua_State* state);
// GetMoney () -> the money truncated toward zero into the 32-bit range.
int ScriptGetMoney(lua_State* state);
// GetCurrentMission () -> the mission.
int ScriptGetCurrentMission(lua_State* state);
// SetCurrentMission (n): the mission becomes n truncated toward zero.
int ScriptSetCurrentMission(lua_State* state);
// SetKills (n): the score becomes n truncated toward zero.
int ScriptSetKills(lua_State* state);

// Pushes the eleven values of a set-up in set-up order; returns 11.
int PushCarSetup(lua_State* state, const SPCarSetup& setup);
