#pragma once

// The singleton convention of the engine's managers: the constructor publishes the object in one
// program-wide pointer of its class and the destructor clears it again, so the accessor returns
// null before construction and after destruction.
//
//     class CPKernel : public TSingleton<CPKernel> { ... };
//     inline CPKernel* GetKernel() { return CPKernel::Instance(); }
template <class T>
class TSingleton {
public:
    static T* Instance() { return static_cast<T*>(s_instance); }

    TSingleton(const TSingleton&) = delete;
    TSingleton& operator=(const TSingleton&) = delete;

protected:
    TSingleton() { s_instance = this; }
    ~TSingleton() {
        if (s_instance == this) s_instance = nullptr;
    }

private:
    static inline TSingleton* s_instance = nullptr;
};
