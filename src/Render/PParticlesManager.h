#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "Render/PEmitterInfo.h"
#include "Render/PParticleRenderObject.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticleSystem.h"
#include "core/PTask.h"
#include "core/Singleton.h"

// The particle manager: a level task (priority 9000, after the game and physics, before the
// renderer) that owns every particle effect. At start it reads its four definition files
// (ParticleDefinitions.h): particle effects and ground spots become named templates, each a
// render object that collects and draws every particle of its kind; emitters are named records
// that particle systems copy; flames are ready-made particle systems, addressed by line number.
//
// Game code and particle systems create particles with SpawnEffect. Each frame the manager
// updates the templates that hold particles and hands them to the renderer's render block.
//
// A definition file that cannot be read counts as empty (the log names it); without
// Data\flames.dat, though, the task does not start, so nothing it holds is updated or drawn.
class CPParticlesManager : public IPTask, public TSingleton<CPParticlesManager> {
public:
    static constexpr const char* kParticlesFile = "Data\\particles.dat";
    static constexpr const char* kSpotsFile = "Data\\spots.dat";
    static constexpr const char* kEmittersFile = "Data\\particlesystems.dat";
    static constexpr const char* kFlamesFile = "Data\\flames.dat";
    // Material layers: the definition's layer plus these.
    static constexpr int32_t kParticleLayerBase = 22;
    static constexpr int32_t kSpotLayerBase = 20;

    CPParticlesManager();
    ~CPParticlesManager() override;

    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPParticlesManager"; }

    // Reads the definition files, then starts the task; false without Data\flames.dat.
    bool Start() override;
    // Updates each live template and hands those still holding particles to the render block.
    void Update() override;

    // Creates one particle (or spot) of the named template; an unknown name does nothing.
    void SpawnEffect(const CPParticleSpawnInfo& info);
    // Drops every particle of every template; templates, emitters and flames stay.
    void Clear();
    // A new copy of flame template index (null for an index outside the flames).
    TPtr<CPParticleSystem> CloneFlame(int32_t index) const;
    // The emitter of that name, or null.
    SPEmitterInfo* FindEmitter(const std::string& name);

    // The template of that name, or null.
    TPtr<CPParticleRenderObject> GetEffect(const std::string& name) const;
    // The templates that hold particles, in the order they became active.
    const std::vector<TPtr<CPParticleRenderObject>>& GetLiveEffects() const { return m_liveEffects; }
    int32_t GetFlameCount() const { return static_cast<int32_t>(m_flames.size()); }

private:
    // Reads one effect or spot file into the templates; false when it cannot be read.
    bool ReadEffects(const char* path, bool spots);
    bool ReadEmitters();
    bool ReadFlames();
    TPtr<CPParticleRenderObject> MakeEffect(const struct SPEffectDefinition& definition, bool spot) const;

    std::vector<TPtr<CPParticleSystem>> m_flames;
    std::unordered_map<std::string, TPtr<CPParticleRenderObject>> m_effects;
    std::vector<TPtr<CPParticleRenderObject>> m_liveEffects;
    std::unordered_map<std::string, SPEmitterInfo> m_emitters;
};

// The particle manager, null before its construction and after its destruction.
inline CPParticlesManager* GetParticlesManager() { return CPParticlesManager::Instance(); }
