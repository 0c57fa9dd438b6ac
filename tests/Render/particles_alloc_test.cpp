// Particles are per-frame work: once emitters, particles and spots run in a steady state,
// emitting, updating and writing a frame allocates nothing.
#include <vector>

#include "Render/PParticleSystem.h"
#include "particles_fixture.h"
#include "support/AllocationCounter.h"

namespace {

TEST_F(ParticlesTest, SteadyFramesOfEmittersParticlesAndSpotsAllocateNothing) {
    ASSERT_TRUE(StartManager("puff a.tga x.fx 4 2 1 1 0\nfire a.tga x.fx 1 1 1 0 0 1:1:1:1:1,0:1:0:0:2\n",
                             "mark a.tga x.fx 4 1 1 0 0\n",
                             "puffs puff 1 1 0.1 1 2 60 0 0 1 0 0 -1 0.5 0.5 0\n"
                             "fires fire 0.5 1 0 1 3 30 1 1 0 0 0 1 0 0 0\n"
                             "marks mark 2 1 0 1 3 178 0 0 1 0 0 0 5 5 0\n",
                             "puffs;0.1;0;0\n"));
    std::vector<TPtr<CPParticleSystem>> systems;
    for (const char* name : {"puffs", "fires", "marks"}) {
        systems.emplace_back(new CPParticleSystem(nullptr, name));
        systems.back()->SetInterval(0.01f);
        ASSERT_TRUE(systems.back()->Start());
    }
    std::vector<SPVertex> vertices(4 * 1000);
    std::vector<uint16_t> indices(6 * 1000);
    auto frame = [&] {
        g_frameDelta = 0.02f;
        for (const TPtr<CPParticleSystem>& system : systems) system->Update();
        Frame(0.02f);
        for (const TPtr<CPParticleRenderObject>& effect : Manager().GetLiveEffects()) {
            ASSERT_LE(effect->GetVertexCount(), static_cast<int32_t>(vertices.size()));
            effect->WriteGeometry(vertices.data(), indices.data(), 0);
        }
    };
    for (int i = 0; i < 400; ++i) frame();
    ASSERT_EQ(Manager().GetLiveEffects().size(), 3u);

    testsupport::ResetCountedAllocations();
    testsupport::SetCountingAllocations(true);
    for (int i = 0; i < 100; ++i) frame();
    testsupport::SetCountingAllocations(false);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
}

}  // namespace
