#include "physics/engine/PhysicsTerrainYIndex.h"

void PhysicsTerrainYIndex::FillBands()
{
    originY = spans[0].minimumY;
    const float range = spans[count - 1].minimumY - originY;
    bandsPerUnit = range > 0.0f ? static_cast<float>(bandCount) / range : 0.0f;
    int32_t span = 0;
    for (int32_t band = 0; band < bandCount; ++band) {
        while (span < count && BandOf(spans[span].minimumY) < band) ++span;
        bandStarts[band] = span;
    }
}
