#pragma once
#include <string>

#include "math/PMath.h"

namespace apptest {

// The car's position in a VX_STATE file's text ("car <x> <y> <z> health ..."); false when the
// text names no car.
bool ReadCarPosition(const std::string& state, PVector3& car);

// The money and the score in a VX_STATE file's text ("money <m> score <s> mission <n>"); false
// when the text has no such line.
bool ReadMoneyAndScore(const std::string& state, float& money, int& score);

}  // namespace apptest
