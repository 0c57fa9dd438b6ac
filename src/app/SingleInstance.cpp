#include "app/SingleInstance.h"

#include "core/PLog.h"
#include "platform/InstanceLock.h"

bool ClaimSingleInstance(std::string& error) {
    // Held until the process ends.
    static platform::InstanceLock lock(kSingleInstanceName);
    switch (lock.GetState()) {
    case platform::InstanceLock::State::Held:
        return true;
    case platform::InstanceLock::State::HeldElsewhere:
        error = "another copy of the game is already running (it holds " + lock.Path() + ")";
        return false;
    case platform::InstanceLock::State::Unavailable:
        GetLog()->Print(0, "Cannot use the lock file %s (it cannot be made, or it is a link, no regular file or "
                           "another user's); not checking for another copy\n",
                        lock.Path().c_str());
        return true;
    }
    return true;
}
