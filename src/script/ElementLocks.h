#pragma once
#include <string>

class IPMMObject;

// What LockButton and UnlockButton do to an element of an interface screen (null, stale or
// non-screen handles included); the interface installs it at start-up. Without it they do
// nothing.
class IPElementLocks {
public:
    virtual ~IPElementLocks() = default;
    virtual void SetElementLocked(IPMMObject* screen, const std::string& element, bool locked) = 0;
};
// Installs the handler (null: none); not owned.
void SetElementLocks(IPElementLocks* locks);
// The installed handler, or null.
IPElementLocks* GetElementLocks();
