#pragma once

struct luaL_Reg;

// The game's two registration tables of script functions, registered in every script state after
// the engine table (CPLuaScript::SetGameTables), game table first. Each holds, in registration
// order, the functions built so far, and ends with a null name.
const luaL_Reg* GetGameFunctions();
const luaL_Reg* GetInterfaceFunctions();

// Hands the engine table (EngineFunctions.h) and both game tables to the script host; states
// created afterwards get them.
void RegisterGameFunctionTables();
