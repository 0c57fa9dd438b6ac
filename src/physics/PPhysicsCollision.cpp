#include "physics/ICollisionHandler.h"
#include "physics/PPhysics.h"

void CPPhysics::OnCollision(PhysicsCollisionInfo* info) {
    ICollisionHandler* handler = ICollisionHandler::Installed();
    if (info && handler) handler->OnCollision(*info);
}
