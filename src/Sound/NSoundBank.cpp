#include "Sound/NSoundBank.h"

void CNSoundBank::Clear() {
    for (auto& [file, sound] : m_entries) {
        if (sound) sound->Stop();
    }
    m_entries.clear();
}
