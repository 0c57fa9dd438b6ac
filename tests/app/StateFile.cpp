#include "StateFile.h"

#include <sstream>

namespace apptest {

bool ReadCarPosition(const std::string& state, PVector3& car) {
    const size_t line = state.find("\ncar ");
    if (line == std::string::npos) return false;
    std::istringstream fields(state.substr(line + 5));
    return static_cast<bool>(fields >> car.x >> car.y >> car.z);
}

}  // namespace apptest
