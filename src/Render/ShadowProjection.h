#pragma once
#include "math/PMath.h"

// Flattens a shadow caster onto the ground under the level light. The identity until a level
// builds it, so before any level a shadow adds nothing to an object's bounds.
extern PMatrix g_shadowProjection;
