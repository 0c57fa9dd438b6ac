#include "Sound/NSoundBank.h"

namespace {

constexpr float kBankMinDistance = 40.0f;
constexpr float kBankMaxDistance = 50.0f;

}  // namespace

TPtr<CNSound> CNSoundBank::Find(const std::string& file) const {
    for (const auto& [name, sound] : m_entries) {
        if (name == file) return sound;
    }
    return nullptr;
}

TPtr<CNSound> CNSoundBank::Load(const std::string& file, bool is3D, bool force) {
    if (!force) {
        if (TPtr<CNSound> listed = Find(file)) return listed;
    }
    TPtr<CNSound> sound(new CNSound("Data\\Sounds\\" + file, is3D));
    if (is3D) sound->SetDistances(kBankMinDistance, kBankMaxDistance);
    return sound;
}

void CNSoundBank::Clear() {
    for (auto& [file, sound] : m_entries) {
        if (sound) sound->Stop();
    }
    m_entries.clear();
}
