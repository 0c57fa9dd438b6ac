#include "Render/PParticleSpawnInfo.h"

CPParticleSpawnInfo::CPParticleSpawnInfo(const CPParticleSpawnInfo& other)
    : name(other.name),
      position(other.position),
      velocity(other.velocity),
      acceleration(other.acceleration),
      size(other.size),
      growth(other.growth),
      life(other.life),
      fade(other.fade),
      next(other.next ? std::make_unique<CPParticleSpawnInfo>(*other.next) : nullptr),
      callback(other.callback),
      user(other.user) {}

CPParticleSpawnInfo& CPParticleSpawnInfo::operator=(const CPParticleSpawnInfo& other) {
    if (this != &other) *this = CPParticleSpawnInfo(other);
    return *this;
}
