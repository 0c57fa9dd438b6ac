#pragma once
#include <cstdint>
#include <unordered_map>

// A state of a state machine: its id and how long (seconds of the owner's time) the owner stays
// in it before deciding again.
struct SPStateRecord {
    int32_t id = 0;
    float interval = 0.0f;
};

// The state table, the current state and the time spent in it; the owner decides (Think) and acts
// (Step).
class CPStateMachine {
public:
    virtual ~CPStateMachine() = default;

    virtual void Think() = 0;
    virtual void Step(float dt) = 0;

    void AddState(int32_t id, float interval) { states[id] = {id, interval}; }
    // Makes the state current with its timer at 0. An id without a record gets an empty one.
    void EnterState(int32_t id)
    {
        stateTimer = 0.0f;
        currentState = &states[id];
    }
    int32_t CurrentStateId() const { return currentState ? currentState->id : -1; }

    // Null until the first decision.
    SPStateRecord* currentState = nullptr;
    float stateTimer = 0.0f;
    std::unordered_map<int32_t, SPStateRecord> states;
};
