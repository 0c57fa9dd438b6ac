#include "game/PCamera.h"

#include <cmath>

bool CPCamera::SetHeading(float newHeading)
{
    if (!std::isfinite(newHeading)) return false;
    heading = newHeading;
    changed = true;
    return true;
}
