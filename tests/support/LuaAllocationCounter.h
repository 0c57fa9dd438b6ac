#pragma once
#include <lua.hpp>

#include "support/AllocationCounter.h"

namespace testsupport {

// Wraps a Lua state's allocator while it lives and counts the allocations and growths it sees
// while counting is on (SetCountingAllocations). Lua allocates through the C heap, which the
// process-wide counter sees only in sanitized builds. Must go before the state closes.
class LuaAllocationCounter {
public:
    explicit LuaAllocationCounter(lua_State* state) : m_state(state) {
        m_inner = lua_getallocf(state, &m_innerData);
        lua_setallocf(state, Allocate, this);
    }
    ~LuaAllocationCounter() { lua_setallocf(m_state, m_inner, m_innerData); }
    LuaAllocationCounter(const LuaAllocationCounter&) = delete;
    LuaAllocationCounter& operator=(const LuaAllocationCounter&) = delete;

    lua_State* GetState() const { return m_state; }
    int GetAllocations() const { return m_allocations; }

private:
    static void* Allocate(void* data, void* block, size_t oldSize, size_t newSize) {
        auto* self = static_cast<LuaAllocationCounter*>(data);
        if (IsCountingAllocations() && newSize > oldSize) ++self->m_allocations;
        return self->m_inner(self->m_innerData, block, oldSize, newSize);
    }

    lua_State* m_state;
    lua_Alloc m_inner = nullptr;
    void* m_innerData = nullptr;
    int m_allocations = 0;
};

}  // namespace testsupport
