// The ring of streaming buffer pairs: creation, the lock cycle, device resets.
#include <gtest/gtest.h>

#include <memory>

#include "Render/PDeviceObject.h"
#include "Render/PIVertexBuffer.h"
#include "vertexbuffer_fixture.h"

namespace restest {
namespace {

using namespace platform::gfx;

class RingTest : public StreamingTest {
protected:
    TPtr<CPIVertexBuffer> Ring(bool isStatic = false)
    {
        TPtr<CPIVertexBuffer> ring(new CPIVertexBuffer);
        EXPECT_TRUE(ring->Create(isStatic, 0, 0));
        return ring;
    }
};

TEST_F(RingTest, ADynamicRingHasThreeFullSizedPairsAndAStaticOneOne)
{
    TPtr<CPIVertexBuffer> ring = Ring();
    EXPECT_EQ(ring->GetCount(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_NE(ring->GetVertexBuffer(i), nullptr);
        EXPECT_EQ(ring->GetVertexBuffer(i)->VertexCount(), 65536u);
        EXPECT_EQ(ring->GetIndexBuffer(i)->IndexCount(), 262144u);
        EXPECT_EQ(ring->GetVertexBuffer(i)->GetUsage(), Usage::Dynamic);
    }
    EXPECT_FALSE(ring->Create(false, 0, 0)) << "a second Create";
    EXPECT_EQ(ring->GetClassName(), "CPIVertexBuffer");

    TPtr<CPIVertexBuffer> single = Ring(true);
    EXPECT_EQ(single->GetCount(), 1);
    EXPECT_EQ(single->GetVertexBuffer(1), nullptr);
    EXPECT_EQ(single->GetVertexBuffer(0)->GetUsage(), Usage::Static);
}

TEST_F(RingTest, LockCyclesHandOutThePairsInTurn)
{
    TPtr<CPIVertexBuffer> ring = Ring();
    EXPECT_FALSE(ring->Unlock()) << "not locked";
    for (int32_t expected : {0, 1, 2, 0}) {
        EXPECT_EQ(ring->GetCurrent(), expected);
        ASSERT_TRUE(ring->Lock(0, 0));
        EXPECT_FALSE(ring->Lock(0, 0)) << "already locked";
        EXPECT_TRUE(ring->IsLocked());
        EXPECT_TRUE(ring->Unlock());
    }
}

// Owns a render target the way bloom does: gone with the device, made again after a reset.
class TargetOwner : public IPDeviceObject {
public:
    explicit TargetOwner(Device& device) : m_device(device) { OnResetDevice(); }
    void OnLostDevice() override { target.reset(); }
    void OnResetDevice() override
    {
        target = m_device.CreateTexture(8, 8, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    }
    std::unique_ptr<Texture> target;

private:
    Device& m_device;
};

TEST_F(RingTest, AfterADeviceResetTheRingAndRenderTargetsAreMadeAgainAndDrawingGoesOn)
{
    TPtr<CPIVertexBuffer> ring = Ring();
    TargetOwner owner(Dev());
    ASSERT_TRUE(ring->Lock(0, 0));
    ASSERT_TRUE(ring->Unlock());
    EXPECT_EQ(ring->GetCurrent(), 1);

    Render().ResetDevice();

    EXPECT_EQ(ring->GetCurrent(), 0) << "the ring starts again";
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_NE(ring->GetVertexBuffer(i), nullptr);
        EXPECT_FALSE(ring->GetVertexBuffer(i)->IsLost());
        EXPECT_FALSE(ring->GetIndexBuffer(i)->IsLost());
    }
    ASSERT_NE(owner.target, nullptr);
    EXPECT_FALSE(owner.target->IsLost());

    // Draw a quad into the new render target, then one through the new ring.
    ASSERT_TRUE(Dev().SetRenderTarget(owner.target.get()));
    BeginDrawing();
    TPtr<CPIVBlock> batch = Batch(ring, {Quad(-1.0f, 1.0f, 1.0f, -1.0f, 0xFF00FF00u)});
    ASSERT_TRUE(ring->Lock(0, 0));
    ASSERT_TRUE(ring->FillBlock(*batch));
    ASSERT_TRUE(ring->Unlock());
    DrawBatch(*batch);
    uint32_t pixel = 0;
    ASSERT_TRUE(Dev().ReadPixels({3, 3, 4, 4}, &pixel));
    EXPECT_EQ(pixel, 0xFF00FF00u);
    ASSERT_TRUE(Dev().SetRenderTarget(nullptr));
    BeginDrawing();
    DrawBatch(*batch);
    EXPECT_EQ(PixelAt(0.0f, 0.0f), 0xFF00FF00u);
}

TEST_F(RingTest, ALossWhileLockedUnlocksAndReleasesEverything)
{
    TPtr<CPIVertexBuffer> ring = Ring();
    ASSERT_TRUE(ring->Lock(0, 0));
    ring->OnLostDevice();
    EXPECT_FALSE(ring->IsLocked());
    EXPECT_EQ(ring->GetVertexBuffer(0), nullptr);
    EXPECT_FALSE(ring->Lock(0, 0)) << "nothing to lock";
    ring->OnResetDevice();
    EXPECT_TRUE(ring->Lock(0, 0));
}

struct Recorder : IPDeviceObject {
    explicit Recorder(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    void OnLostDevice() override { log.push_back(name + " lost"); }
    void OnResetDevice() override { log.push_back(name + " reset"); }
    std::vector<std::string>& log;
    std::string name;
};

TEST(DeviceObjectTest, BroadcastsReachTheLiveObjectsInRegistrationOrder)
{
    std::vector<std::string> log;
    const int before = IPDeviceObject::CountRegistered();
    Recorder a(log, "a");
    auto b = std::make_unique<Recorder>(log, "b");
    Recorder c(log, "c");
    EXPECT_EQ(IPDeviceObject::CountRegistered(), before + 3);
    b.reset();
    Recorder copy(c);
    copy.name = "copy";
    IPDeviceObject::BroadcastLostDevice();
    IPDeviceObject::BroadcastResetDevice();
    EXPECT_EQ(log, (std::vector<std::string>{"a lost", "c lost", "copy lost", "a reset", "c reset", "copy reset"}));
}

}  // namespace
}  // namespace restest
