#pragma once

// Everything of the math module: vectors, matrices, quaternions and planes in the row-vector,
// left-handed convention (a point transforms as v × M).
#include "math/PMathConstants.h"
#include "math/PMatrix.h"
#include "math/PPlane.h"
#include "math/PQuaternion.h"
#include "math/PVector2.h"
#include "math/PVector3.h"
#include "math/PVector4.h"
