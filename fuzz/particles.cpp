// The particle manager's definition files (Data\particles.dat, spots.dat, particlesystems.dat,
// flames.dat): the input is split at the byte 0x1E into up to four parts, handed to the files in
// turn (fewer parts repeat). The manager reads them; then every template gets particles, every
// emitter and flame a particle system that emits, and a few frames are updated and written, so
// that what the lines hold reaches the arithmetic of the particles.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PParticleSystem.h"
#include "Render/PParticlesManager.h"
#include "Render/ParticleDefinitions.h"
#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "support/FuzzFolder.h"

namespace {

std::vector<std::string> SplitInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0x1E && parts.size() < 4) {
            parts.emplace_back();
        } else {
            parts.back().push_back(static_cast<char>(data[i]));
        }
    }
    return parts;
}

// Systems for each emitter of the file and each flame.
std::vector<TPtr<CPParticleSystem>> MakeSystems(const CPParticlesManager& manager) {
    std::vector<TPtr<CPParticleSystem>> systems;
    std::vector<std::string> lines;
    ReadDefinitionLines(CPParticlesManager::kEmittersFile, lines);
    std::string name;
    SPEmitterInfo emitter;
    for (const std::string& line : lines) {
        ParseEmitterLine(line, name, emitter);
        systems.emplace_back(new CPParticleSystem(nullptr, name));
    }
    for (int32_t i = 0; i < manager.GetFlameCount(); ++i) systems.push_back(manager.CloneFlame(i));
    return systems;
}

void Exercise(CPParticlesManager& manager) {
    std::vector<std::string> lines;
    std::vector<std::string> names;
    for (const char* file : {CPParticlesManager::kParticlesFile, CPParticlesManager::kSpotsFile}) {
        ReadDefinitionLines(file, lines);
        SPEffectDefinition definition;
        for (const std::string& line : lines) {
            ParseEffectLine(line, definition);
            names.push_back(definition.name);
        }
    }
    for (const std::string& name : names) {
        CPParticleSpawnInfo info;
        info.name = name;
        info.life = 1.0f;
        info.size = 0.5f;
        info.velocity = {3.0f, 0.0f, 1.0f};
        info.fade = true;
        manager.SpawnEffect(info);
    }
    std::vector<TPtr<CPParticleSystem>> systems = MakeSystems(manager);
    std::vector<SPVertex> vertices;
    std::vector<uint16_t> indices;
    g_frameDelta = 0.3f;
    for (int frame = 0; frame < 4; ++frame) {
        for (const TPtr<CPParticleSystem>& system : systems) {
            system->Emit();
            system->SetBurnOut(true);
            system->Update();
        }
        manager.Update();
        for (const TPtr<CPParticleRenderObject>& effect : manager.GetLiveEffects()) {
            vertices.resize(static_cast<size_t>(effect->GetVertexCount()));
            indices.resize(static_cast<size_t>(effect->GetIndexCount()));
            effect->WriteGeometry(vertices.data(), indices.data(), 0);
        }
    }
    manager.Clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterTemporaryFolder();
    const std::vector<std::string> parts = SplitInput(data, size);
    const char* files[] = {"Data/particles.dat", "Data/spots.dat", "Data/particlesystems.dat", "Data/flames.dat"};
    for (size_t i = 0; i < 4; ++i) fuzz::WriteFile(files[i], parts[i % parts.size()]);
    {
        TPtr<CPParticlesManager> manager(new CPParticlesManager);
        manager->Start();
        Exercise(*manager);
    }
    CollectGarbage();
    return 0;
}
