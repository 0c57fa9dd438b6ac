#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/PTask.h"

// A task that calls a member function of another object every frame (the level uses two). The
// object is not counted: its owner keeps it alive while the updater runs.
//
//     TPtr<CPObjUpdater> update(new CPObjUpdater(level, &CPLevel::Update));
class CPObjUpdater : public IPTask {
public:
    template <class T>
    CPObjUpdater(T* object, void (T::*function)(), int32_t type = 0)
        : m_type(type), m_call([object, function] { (object->*function)(); }) {}

    void Update() override { m_call(); }
    int32_t GetType() const override { return m_type; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPObjUpdater"; }

private:
    int32_t m_type;
    std::function<void()> m_call;
};
