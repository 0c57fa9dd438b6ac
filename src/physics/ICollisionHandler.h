#pragma once

struct PhysicsCollisionInfo;

// What the game makes of two bodies touching in the physics world: the game layer installs it
// (the level does while it exists); without it a collision changes nothing beyond the simulation.
class ICollisionHandler {
public:
    // Called for every contact the simulator reports, during its step.
    virtual void OnCollision(const PhysicsCollisionInfo& info) = 0;

    // The installed handler, or null.
    static ICollisionHandler* Installed() { return s_installed; }
    static void Install(ICollisionHandler* handler) { s_installed = handler; }
    // Removes the handler if it is the installed one.
    static void Uninstall(const ICollisionHandler* handler) {
        if (s_installed == handler) s_installed = nullptr;
    }

protected:
    ~ICollisionHandler() = default;

private:
    static inline ICollisionHandler* s_installed = nullptr;
};
