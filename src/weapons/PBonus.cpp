#include "weapons/PBonus.h"

#include <algorithm>

#include "core/FieldNumbers.h"
#include "core/PGlobalTimer.h"
#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "script/PScriptManager.h"
#include "Sound/NSound.h"
#include "weapons/WeaponWorld.h"

namespace {

const char* const kKindNames[] = {"time", "money", "armor", "super", "laser_u"};
// The text keys the pick-up of each kind shows; the upgrade tells of itself.
const char* const kPickUpTexts[] = {"td", "gp", "ar", "na", nullptr};

// Slow motion, in real seconds since the pick-up: the factor falls at kTimeRamp a second to
// kSlowFactor (by kSlowedAt at the latest), holds until kSpeedUpAt and rises back to 1 (by
// kRestoredAt at the latest).
constexpr float kTimeRamp = 0.25f;
constexpr float kSlowFactor = 0.5f;
constexpr float kSlowedAt = 2.0f;
constexpr float kSpeedUpAt = 8.0f;
constexpr float kRestoredAt = 10.0f;
// A money bonus refills this many mine shots.
constexpr float kRefilledShots = 10.0f;

void TellGameMenu(const std::string& command, const std::string& params) {
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName("gamemenu", command, params);
}

CPPlayerCar* PlayerCar() { return dynamic_cast<CPPlayerCar*>(GetWeaponWorld().GetPlayerCar()); }

}  // namespace

bool CPBonus::SetParams(const WeaponFields& fields) {
    LoadModel(fields[0] + ".rdf");
    m_appearEffect = fields[1];
    m_expireEffect = fields[2];
    m_pickUpEffect = fields[3];
    CPFieldNumbers numbers(fields);
    m_lifetime = numbers.Float(4);
    if (!AllNumbersFinite(numbers)) return false;
    const auto* kind = std::find(std::begin(kKindNames), std::end(kKindNames), fields[5]);
    if (kind == std::end(kKindNames)) return RefuseDefinition("unknown bonus kind \"" + fields[5] + "\"");
    m_kind = static_cast<Kind>(kind - std::begin(kKindNames));
    return CPWeaponObject::SetParams(fields);
}

TPtr<CPWeaponObject> CPBonus::Clone() {
    TPtr<CPBonus> clone(new CPBonus(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->AdoptCopiedRenderObject();
    clone->m_appearEffect = m_appearEffect;
    clone->m_expireEffect = m_expireEffect;
    clone->m_pickUpEffect = m_pickUpEffect;
    clone->m_lifetime = m_lifetime;
    clone->m_kind = m_kind;
    return clone;
}

void CPBonus::AppendSpawnedNames(std::vector<std::string>& names) const {
    names.insert(names.end(), {m_appearEffect, m_expireEffect, m_pickUpEffect});
}

void CPBonus::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer, void*,
                     bool) {
    m_phase = kSlowing;
    m_timeFactor = 1.0f;
    m_waiting = true;
    CPWeaponObject::Launch(position, direction, damage, nullptr, nullptr, false);
    SetPosition(position);
    UpdateTransform();
    SetEnabled(true);
    m_elapsed = 0.0f;
    SpawnFollowUp(m_appearEffect, GetPosition(), {0.0f, 0.0f, 1.0f}, -1.0f, false);
}

bool CPBonus::Update() { return m_waiting ? Wait() : Apply(); }

bool CPBonus::Wait() {
    m_elapsed += g_frameDelta;
    if (m_elapsed >= m_lifetime) {
        SpawnFollowUp(m_expireEffect, GetPosition(), {0.0f, 0.0f, 1.0f}, -1.0f, false);
        return false;
    }
    TryPickUp();
    return true;
}

void CPBonus::TryPickUp() {
    const CPPlayerCar* car = PlayerCar();
    if (!car) return;
    const PVector3 offset = car->GetPosition() - GetPosition();
    if (offset.x * offset.x + offset.y * offset.y >= kReach * kReach || !IsNeeded(*car)) return;
    SpawnFollowUp(m_pickUpEffect, GetPosition(), {0.0f, 0.0f, 5.0f}, -1.0f, false);
    m_waiting = false;
    SetEnabled(false);
    m_elapsed = 0.0f;
    const char* text = kPickUpTexts[m_kind];
    const CPGameData* data = GetGameData();
    if (text && data) TellGameMenu("mission_text2", data->GetText(text));
}

bool CPBonus::IsNeeded(const CPPlayerCar& car) const {
    const CPGameData* data = GetGameData();
    switch (m_kind) {
    case kTime:
        return g_timeScale == 1.0f;
    case kMoney:
        return car.hasMineLayer && car.mineFill < 1.0f && car.mineInfo.capacity * car.magazineFactor > 0.0f;
    case kArmor:
        return car.health != car.maxHealth;
    case kSuper:
        return true;
    case kUpgrade:
        return data && data->CanUpgradeWeapon(car.currentWeapon);
    }
    return false;
}

bool CPBonus::Apply() {
    if (m_kind == kTime) return SlowTime();
    CPPlayerCar* car = PlayerCar();
    CPGameData* data = GetGameData();
    switch (m_kind) {
    case kMoney:
        if (car) {
            const float store = car->mineInfo.capacity * car->magazineFactor;
            if (store > 0.0f) car->mineFill = std::min(1.0f, car->mineFill + car->mineInfo.shotCost / store * kRefilledShots);
        }
        break;
    case kArmor:
        if (car) car->health = std::min(car->health + kArmorRepair, car->maxHealth);
        TellGameMenu("update_game_interface", "");
        break;
    case kSuper:
        if (data && data->committedSetup.superWeaponCount < kMaxSuperCharges) ++data->committedSetup.superWeaponCount;
        TellGameMenu("update_game_interface", "");
        break;
    case kUpgrade:
        if (data && car && data->UpgradeWeaponSlot(car->currentWeapon)) car->MountWeapons();
        break;
    case kTime:
        break;
    }
    return false;
}

bool CPBonus::SlowTime() {
    const float realStep = g_frameDelta / m_timeFactor;
    m_elapsed += realStep;
    switch (m_phase) {
    case kSlowing:
        m_timeFactor -= kTimeRamp * realStep;
        if (m_timeFactor < kSlowFactor || m_elapsed >= kSlowedAt) {
            m_timeFactor = kSlowFactor;
            m_phase = kSlow;
        }
        break;
    case kSlow:
        if (m_elapsed >= kSpeedUpAt) m_phase = kSpeeding;
        break;
    case kSpeeding:
        m_timeFactor += kTimeRamp * realStep;
        if (m_timeFactor > 1.0f || m_elapsed >= kRestoredAt) {
            m_timeFactor = 1.0f;
            SetTimeRate(1.0f);
            return false;
        }
        break;
    }
    SetTimeRate(m_timeFactor);
    return true;
}

void CPBonus::SetTimeRate(float rate) {
    g_timeScale = rate;
    CNSound::SetFrequencyFactor(rate);
}

void CPBonus::Retire() {
    if (m_kind == kTime && !m_waiting) SetTimeRate(1.0f);
}
