#pragma once
#include "math/PMatrix.h"
#include "math/PVector3.h"

// Where an enemy's shots go: the aim as a rotation of the reference direction (0, 1, 0), and
// shots scattered around it.

// The rotation that turns (0, 1, 0) into the unit vector aim; straight back it turns about z, and
// a zero aim leaves (0, 1, 0) as it is.
PMatrix RotationToAim(const PVector3& aim);
// A direction within spread radians of the aim (given as RotationToAim's rotation) at a random
// bearing around it; the draws go through the engine's generator.
PVector3 SpreadDirection(const PMatrix& toAim, float spread);
