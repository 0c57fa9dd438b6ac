#include "StateFile.h"

#include <sstream>

namespace apptest {

bool ReadCarPosition(const std::string& state, PVector3& car) {
    const size_t line = state.find("\ncar ");
    if (line == std::string::npos) return false;
    std::istringstream fields(state.substr(line + 5));
    return static_cast<bool>(fields >> car.x >> car.y >> car.z);
}

bool ReadMoneyAndScore(const std::string& state, float& money, int& score) {
    const size_t line = state.find("\nmoney ");
    if (line == std::string::npos) return false;
    std::istringstream fields(state.substr(line + 7));
    std::string label;
    return static_cast<bool>(fields >> money >> label >> score) && label == "score";
}

}  // namespace apptest
