#include "weapons/PSuper.h"

#include <algorithm>

#include "core/PGlobalTimer.h"
#include "core/SettingsVariables.h"
#include "Render/PMaterialManager.h"
#include "Render/PRenderObject.h"
#include "script/PScriptManager.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "weapons/PWeaponsSystem.h"
#include "weapons/WeaponMath.h"
#include "weapons/WeaponQuad.h"
#include "weapons/WeaponWorld.h"

namespace {

constexpr CPSuper::SPVolley kVolleys[] = {
    {2, 0.15f, 18, 0.34906587f, "trasser14_1"},
    {12, 0.1f, 24, 0.2617994f, "trasser15_1"},
    {12, 0.2f, 3, 3.6651917f, "srocket4"},
};

// The flash: rises at 1000 a second to full within kRiseEnd, holds until kHoldEnd, falls at 255
// a second and is over by kFallEnd (seconds since launch).
constexpr float kFullFlash = 255.0f;
constexpr float kRiseRate = 1000.0f;
constexpr float kFallRate = 255.0f;
constexpr float kRiseEnd = 0.2f;
constexpr float kHoldEnd = 1.0f;
constexpr float kFallEnd = 2.0f;

}  // namespace

const CPSuper::SPVolley& CPSuper::VolleyOf(int32_t level) {
    return kVolleys[std::clamp(level, 0, static_cast<int32_t>(std::size(kVolleys)) - 1)];
}

bool CPSuper::SetParams(const WeaponFields& fields) {
    m_registeredSound = fields[0];
    CPRenderObject& quad = *GetRenderObject();
    if (CPMaterialManager* materials = GetMaterialManager()) {
        quad.SetMaterial(materials->GetMaterial(kFlashLayer, "super.fx", {}));
    }
    BuildQuad(quad, {{{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}});
    const float w = static_cast<float>(g_screenWidth);
    const float h = static_cast<float>(g_screenHeight);
    PlaceQuad(quad, *this, {PVector3{0.0f, 0.0f, 0.0f}, {w, 0.0f, 0.0f}, {w, h, 0.0f}, {0.0f, h, 0.0f}});
    ShowFlash();
    return CPWeaponObject::SetParams(fields);
}

TPtr<CPWeaponObject> CPSuper::Clone() {
    TPtr<CPSuper> clone(new CPSuper(GetName(), m_level));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->AdoptCopiedRenderObject();
    clone->m_registeredSound = m_registeredSound;
    return clone;
}

void CPSuper::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer, void*,
                     bool) {
    CPWeaponObject::Launch(position, direction, damage, nullptr, nullptr, false);
    // The flash covers the screen as it is: the object stays at the origin, unturned.
    ResetQuadOwner(*this);
    UpdateTransform();
    m_clock = 0.0f;
    m_flashState = kRising;
    m_flash = 0.0f;
    m_volleysFired = 0;
    ShowFlash();
    PlayRegisteredSound();
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory("main", "say_super", "");
}

void CPSuper::PlayRegisteredSound() const {
    CNAudio* audio = GetAudio();
    const TPtr<CNSound> sound = audio ? audio->GetSound(m_registeredSound) : nullptr;
    if (!sound) return;
    if (sound->IsPlaying()) {
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, 0);
}

bool CPSuper::Update() {
    const float dt = g_frameDelta;
    m_clock += dt;
    FireVolleys(dt);
    const bool lasting = Flash(dt);
    ShowFlash();
    return lasting;
}

void CPSuper::FireVolleys(float dt) {
    const SPVolley& volley = VolleyOf(m_level);
    m_volleyTimer += dt;
    if (m_volleysFired >= volley.limit || m_volleyTimer < volley.interval) return;
    m_volleyTimer = 0.0f;
    FireVolley(volley);
    ++m_volleysFired;
}

void CPSuper::FireVolley(const SPVolley& volley) {
    CPWeaponsSystem* weapons = GetWeaponsSystem();
    CPGameObject* car = GetWeaponWorld().GetPlayerCar();
    if (!weapons || !car) return;
    const TPtr<CPGameObject> source(car);
    for (int32_t i = 0; i < volley.shots; ++i) {
        m_volleyDirection = TurnAboutZ(m_volleyDirection, volley.turn);
        weapons->Spawn(volley.shot, car->GetPosition(), m_volleyDirection, kShotDamage, source, nullptr, true);
    }
}

bool CPSuper::Flash(float dt) {
    switch (m_flashState) {
    case kRising:
        m_flash += dt * kRiseRate;
        if (m_flash >= kFullFlash || m_clock >= kRiseEnd) {
            m_flash = kFullFlash;
            m_flashState = kHolding;
        }
        return true;
    case kHolding:
        if (m_clock >= kHoldEnd) m_flashState = kFalling;
        return true;
    case kFalling:
        m_flash -= dt * kFallRate;
        if (m_flash > 0.0f && m_clock < kFallEnd) return true;
        m_flash = 0.0f;
        m_flashState = kOver;
        return false;
    case kOver:
        break;
    }
    return true;
}

void CPSuper::ShowFlash() {
    const uint32_t alpha = static_cast<uint32_t>(std::clamp(m_flash, 0.0f, kFullFlash));
    const uint32_t colour = (alpha << 24) | 0x00FFFFFFu;
    for (SPVertex& vertex : GetRenderObject()->GetVertices()) vertex.diffuse = colour;
    // The mesh copies its vertices again at its next write.
    SetMoved(true);
}
