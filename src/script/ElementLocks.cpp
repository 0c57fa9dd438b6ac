#include "script/ElementLocks.h"

namespace {

IPElementLocks* g_elementLocks = nullptr;

}  // namespace

void SetElementLocks(IPElementLocks* locks) { g_elementLocks = locks; }

IPElementLocks* GetElementLocks() { return g_elementLocks; }
