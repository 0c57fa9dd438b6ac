#pragma once
#include <cstdint>

class CPGameObject;

// The game's rules for damage to scene objects: how hard hits count, which objects are targets
// now, and what a destroyed target is worth. The game layer installs them (the level does while it
// exists); without them every hit counts as given and nothing is a target.
class ISceneGameRules {
public:
    // What every hit is multiplied by.
    virtual float GetDamageFactor() const = 0;
    // Whether damage to the object counts now: it is a target of the current check point when it
    // belongs to one (checkPoint >= 0), else of the current stage.
    virtual bool IsCurrentTarget(const CPGameObject& object, int32_t checkPoint) const = 0;
    // The target was destroyed: it leaves the target lists and its reward is paid.
    virtual void OnTargetDestroyed(const CPGameObject& object, float reward) = 0;

    // The installed rules, or null.
    static ISceneGameRules* Installed() { return s_installed; }
    static void Install(ISceneGameRules* rules) { s_installed = rules; }
    // Removes the rules if they are the installed ones.
    static void Uninstall(const ISceneGameRules* rules) {
        if (s_installed == rules) s_installed = nullptr;
    }

protected:
    ~ISceneGameRules() = default;

private:
    static inline ISceneGameRules* s_installed = nullptr;
};
