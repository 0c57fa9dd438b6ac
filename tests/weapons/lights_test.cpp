// The frame's light list: the level hands its light over first (its light task runs at priority
// 30, the weapons at 390), the explosions theirs after it, and the renderer takes 30 a frame.
#include "Render/PRender.h"
#include "weapons_fixture.h"

namespace {

constexpr PVector3 kAlongX{1.0f, 0.0f, 0.0f};

TEST_F(WeaponsTest, ExplosionsFillTheLightListAfterTheLevelsLightAndALightIntoAFullListIsIgnored) {
    TPtr<CPRender> render(new CPRender);
    Load("boom s_explosion f;;g;1;0;0;4;2;16;4;0;0.5;1;1,1,1;b;0;c;0;m;none\n");
    for (int i = 0; i < 2 * CPRender::kMaxLights; ++i) Spawn("boom", {10.0f * i, 0.0f, 0.0f}, kAlongX);
    m_level->SubmitLight();
    EXPECT_EQ(render->GetLightCount(), 1);
    Frame(0.01f);
    EXPECT_EQ(render->GetLightCount(), CPRender::kMaxLights);
    EXPECT_EQ(m_weapons->GetLiveObjects().size(), static_cast<size_t>(2 * CPRender::kMaxLights))
        << "an explosion whose light found no room still runs";
    // As after a device reset, when the level hands its light over again.
    m_level->SubmitLight();
    EXPECT_EQ(render->GetLightCount(), CPRender::kMaxLights);
}

}  // namespace
