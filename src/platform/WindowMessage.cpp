#include "platform/WindowMessage.h"

namespace platform {

MessageQueue& GetMessageQueue() {
    static MessageQueue queue;
    return queue;
}

}  // namespace platform
