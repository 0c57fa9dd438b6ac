#pragma once
#include "math/PVector3.h"

// The death explosions of scene objects: the weapons system installs itself as the spawner while
// it exists; without one, wrecks neither spawn explosions nor play their sound.
class IExplosionSpawner {
public:
    // Launches the named explosion at the point, going up.
    virtual void SpawnExplosion(const char* name, const PVector3& point) = 0;
    // Plays the named explosion sound from its start.
    virtual void PlayExplosionSound(const char* name) = 0;

    // The installed spawner, or null.
    static IExplosionSpawner* Installed() { return s_installed; }
    static void Install(IExplosionSpawner* spawner) { s_installed = spawner; }
    // Removes the spawner if it is the installed one.
    static void Uninstall(const IExplosionSpawner* spawner) {
        if (s_installed == spawner) s_installed = nullptr;
    }

protected:
    ~IExplosionSpawner() = default;

private:
    static inline IExplosionSpawner* s_installed = nullptr;
};
