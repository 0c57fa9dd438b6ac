#include "platform/InputState.h"

namespace platform {

InputState& GetInputState() {
    static InputState state;
    return state;
}

}  // namespace platform
