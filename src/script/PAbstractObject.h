#pragma once
#include "core/PMMObject.h"

// An engine object with nothing of its own: the base of engine objects that scripts only pass
// around as handles (the car model). Its size and class name are left to the derived class.
class IPAbstractObject : public IPMMObject {};
