// A lower-layer file that reaches up twice; the comment and the string below do not count.
#pragma once
#include "core/PKernel.h"
#include "physics/PPhysicData.h"
  #  include <weapons/PWeaponsSystem.h>
// #include "AI/AI_Entity.h"
const char* kNote = "#include \"app/Application.h\"";
#include "game/PLevel.h"
