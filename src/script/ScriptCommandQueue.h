#pragma once
#include <cstddef>
#include <vector>

#include "script/PScriptCommand.h"

// A script's waiting commands, first in, first out. The commands live in slots that keep their
// storage when a command leaves: a queue that has once held as many commands as it holds now
// copies a new one into a free slot's strings, which allocates nothing unless the new name or
// parameters need more room than the slot ever had.
class CPScriptCommandQueue {
public:
    // Copies the command in behind the others.
    void Push(const CPScriptCommand& command);
    // Lets the oldest command go; nothing when the queue is empty.
    void PopOldest();
    // The oldest command; the queue must not be empty.
    const CPScriptCommand& Oldest() const { return m_slots[m_oldest]; }
    size_t Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }

private:
    // Adds a slot behind the last command of a full queue.
    void Grow();

    std::vector<CPScriptCommand> m_slots;
    size_t m_oldest = 0;
    size_t m_count = 0;
};
