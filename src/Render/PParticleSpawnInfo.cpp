#include "Render/PParticleSpawnInfo.h"

CPParticleSpawnInfo::CPParticleSpawnInfo(const CPParticleSpawnInfo& other) {
    CopyRecord(other);
    CPParticleSpawnInfo* tail = this;
    for (const CPParticleSpawnInfo* record = other.next.get(); record; record = record->next.get()) {
        tail->next = std::make_unique<CPParticleSpawnInfo>();
        tail = tail->next.get();
        tail->CopyRecord(*record);
    }
}

CPParticleSpawnInfo& CPParticleSpawnInfo::operator=(const CPParticleSpawnInfo& other) {
    if (this != &other) *this = CPParticleSpawnInfo(other);
    return *this;
}

CPParticleSpawnInfo::~CPParticleSpawnInfo() {
    // Each record is unlinked before it is freed, so no destructor reaches the one after it.
    std::unique_ptr<CPParticleSpawnInfo> rest = std::move(next);
    while (rest) rest = std::move(rest->next);
}

void CPParticleSpawnInfo::CopyRecord(const CPParticleSpawnInfo& other) {
    name = other.name;
    position = other.position;
    velocity = other.velocity;
    acceleration = other.acceleration;
    size = other.size;
    growth = other.growth;
    life = other.life;
    fade = other.fade;
    callback = other.callback;
    user = other.user;
}
