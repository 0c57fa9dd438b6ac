#include "Render/PParticlesManager.h"

#include <algorithm>
#include <utility>

#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Render/PSpotRenderObject.h"
#include "Render/ParticleDefinitions.h"
#include "core/PGlobalTimer.h"
#include "core/PLog.h"

namespace {

// line names the line: a quoted name, or "of flame 3".
void ReportNumbersNotFinite(const char* path, const std::string& line, const char* outcome) {
    GetLog()->Print(0, "%s: the line %s has numbers that are not finite: %s\n", path, line.c_str(), outcome);
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

CPParticlesManager::CPParticlesManager() : m_effects(100), m_emitters(100) {}

CPParticlesManager::~CPParticlesManager() {
    m_emitters.clear();
    m_liveEffects.clear();
    m_effects.clear();
    m_flames.clear();
}

bool CPParticlesManager::Start() {
    ReadEffects(kParticlesFile, false);
    ReadEffects(kSpotsFile, true);
    ReadEmitters();
    if (!ReadFlames()) return false;
    return IPTask::Start();
}

TPtr<CPParticleRenderObject> CPParticlesManager::MakeEffect(const SPEffectDefinition& definition, bool spot) const {
    TPtr<CPParticleRenderObject> effect(spot ? new CPSpotRenderObject : new CPParticleRenderObject);
    effect->SetDarken(definition.darken);
    effect->SetFrames(definition.columns, definition.rows, definition.frameValue);
    if (CPMaterialManager* materials = GetMaterialManager()) {
        const int32_t layer = definition.layer + (spot ? kSpotLayerBase : kParticleLayerBase);
        effect->SetMaterial(materials->GetMaterial(layer, definition.effectFile, {definition.texture}));
    }
    for (const SPColourKey& key : definition.keys) effect->AddKey(key);
    return effect;
}

bool CPParticlesManager::ReadEffects(const char* path, bool spots) {
    std::vector<std::string> lines;
    const bool read = ReadDefinitionLines(path, lines);
    SPEffectDefinition definition;
    for (const std::string& line : lines) {
        if (ParseEffectLine(line, definition)) {
            m_effects[definition.name] = MakeEffect(definition, spots);
        } else {
            ReportNumbersNotFinite(path, Quoted(definition.name), "left out");
        }
    }
    return read;
}

bool CPParticlesManager::ReadEmitters() {
    std::vector<std::string> lines;
    const bool read = ReadDefinitionLines(kEmittersFile, lines);
    std::string name;
    SPEmitterInfo emitter;
    for (const std::string& line : lines) {
        if (ParseEmitterLine(line, name, emitter)) {
            m_emitters[name] = std::move(emitter);
        } else {
            ReportNumbersNotFinite(kEmittersFile, Quoted(name), "left out");
        }
    }
    return read;
}

bool CPParticlesManager::ReadFlames() {
    std::vector<std::string> lines;
    const bool read = ReadDefinitionLines(kFlamesFile, lines);
    SPFlameDefinition definition;
    for (const std::string& line : lines) {
        // Objects choose flames by their position in the file: a damaged line keeps its place.
        if (!ParseFlameLine(line, definition)) {
            ReportNumbersNotFinite(kFlamesFile, "of flame " + std::to_string(m_flames.size()), "read as 0");
        }
        TPtr<CPParticleSystem> flame(new CPParticleSystem(nullptr, definition.emitterNames));
        flame->SetInterval(definition.interval);
        flame->SetLifetime(definition.lifetime);
        flame->SetExtra(definition.extra);
        m_flames.push_back(flame);
    }
    return read;
}

void CPParticlesManager::SpawnEffect(const CPParticleSpawnInfo& info) {
    const auto found = m_effects.find(info.name);
    if (found == m_effects.end()) return;
    const TPtr<CPParticleRenderObject>& effect = found->second;
    SPParticle particle;
    particle.position = info.position;
    particle.previousPosition = info.position;
    particle.velocity = info.velocity;
    particle.acceleration = info.acceleration;
    particle.growth = info.growth;
    particle.size = info.size;
    particle.life = info.life;
    particle.fade = info.fade;
    if (info.next) particle.next = std::make_unique<CPParticleSpawnInfo>(*info.next);
    particle.callback = info.callback;
    particle.user = info.user;
    if (!effect->IsActive()) m_liveEffects.push_back(effect);
    effect->AddParticle(std::move(particle));
}

void CPParticlesManager::Update() {
    CPRender* render = GetRender();
    const TPtr<CPRenderBlock> block = render ? render->GetRenderBlock() : nullptr;
    size_t kept = 0;
    // Index by index: a template that becomes active during the pass is appended and updated too.
    for (size_t i = 0; i < m_liveEffects.size(); ++i) {
        TPtr<CPParticleRenderObject> effect = m_liveEffects[i];
        effect->Update(g_frameDelta);
        if (!effect->IsActive()) continue;
        if (block) block->AddRenderObject(effect);
        m_liveEffects[kept++] = std::move(effect);
    }
    m_liveEffects.resize(std::min(kept, m_liveEffects.size()));
}

void CPParticlesManager::Clear() {
    for (auto& [name, effect] : m_effects) effect->Clear();
    m_liveEffects.clear();
}

TPtr<CPParticleSystem> CPParticlesManager::CloneFlame(int32_t index) const {
    if (index < 0 || index >= GetFlameCount()) return nullptr;
    return m_flames[static_cast<size_t>(index)]->CloneSystem();
}

SPEmitterInfo* CPParticlesManager::FindEmitter(const std::string& name) {
    const auto found = m_emitters.find(name);
    return found == m_emitters.end() ? nullptr : &found->second;
}

TPtr<CPParticleRenderObject> CPParticlesManager::GetEffect(const std::string& name) const {
    const auto found = m_effects.find(name);
    return found == m_effects.end() ? nullptr : found->second;
}
