#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/PLog.h"
#include "core/PMMObject.h"
#include "core/PSmartPointer.h"
#include "core/Singleton.h"

namespace {

// An engine object that reports its destruction and can act from its destructor.
class Probe : public IPMMObject {
public:
    explicit Probe(bool* destroyed = nullptr, std::string name = "Probe") : m_destroyed(destroyed), m_name(name) {}
    ~Probe() override {
        if (m_onDestroy) m_onDestroy();
        if (m_destroyed) *m_destroyed = true;
    }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return m_name; }

    TPtr<Probe> held;                  // released by the destructor
    std::function<void()> m_onDestroy; // runs first in the destructor

private:
    bool* m_destroyed;
    std::string m_name;
};

class Special : public Probe {
public:
    using Probe::Probe;
};

class ObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CollectGarbage();
        m_live = IPMMObject::CountLiveObjects();
    }
    void TearDown() override {
        CollectGarbage();
        EXPECT_EQ(IPMMObject::CountPendingObjects(), 0);
        EXPECT_EQ(IPMMObject::CountLiveObjects(), m_live);
    }

    int32_t m_live = 0;
};

TEST_F(ObjectsTest, ReleaseDefersDeletionToCollectGarbage) {
    bool destroyed = false;
    Probe* probe = new Probe(&destroyed);
    EXPECT_EQ(probe->GetRefCount(), 0);
    EXPECT_EQ(IPMMObject::CountLiveObjects(), m_live + 1);

    {
        TPtr<Probe> a(probe);
        TPtr<Probe> b = a;
        EXPECT_EQ(probe->GetRefCount(), 2);
    }
    EXPECT_FALSE(destroyed);  // valid until the end of the pass
    EXPECT_TRUE(probe->IsDead());
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 1);
    EXPECT_EQ(IPMMObject::CountLiveObjects(), m_live);

    CollectGarbage();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 0);
}

TEST_F(ObjectsTest, ObjectRevivedWhilePendingSurvives) {
    bool destroyed = false;
    Probe* probe = new Probe(&destroyed);
    TPtr<Probe> keep(probe);
    keep.Reset();
    ASSERT_TRUE(probe->IsDead());

    keep = probe;
    EXPECT_FALSE(probe->IsDead());
    EXPECT_EQ(probe->GetRefCount(), 1);
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 0);
    CollectGarbage();
    EXPECT_FALSE(destroyed);

    keep.Reset();
    CollectGarbage();
    EXPECT_TRUE(destroyed);
}

TEST_F(ObjectsTest, AssigningTheHeldObjectKeepsItAliveAndCounted) {
    bool destroyed = false;
    TPtr<Probe> p(new Probe(&destroyed));
    TPtr<Probe>& alias = p;
    p = alias;
    p = p.Get();
    EXPECT_EQ(p->GetRefCount(), 1);
    EXPECT_FALSE(p->IsDead());
    CollectGarbage();
    EXPECT_FALSE(destroyed);
}

TEST_F(ObjectsTest, ReleasedAgainWhilePendingGoesNegativeAndRevivesWithTheResultingCount) {
    bool destroyed = false;
    Probe* probe = new Probe(&destroyed);
    probe->AddRef();
    probe->Release();
    probe->Release();
    EXPECT_EQ(probe->GetRefCount(), -1);
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 1);
    probe->AddRef();
    probe->AddRef();
    EXPECT_EQ(probe->GetRefCount(), 1);
    EXPECT_FALSE(probe->IsDead());
    probe->Release();
    CollectGarbage();
    EXPECT_TRUE(destroyed);
}

TEST_F(ObjectsTest, ChainOfReleasesInDestructorsIsCollectedInOnePass) {
    bool destroyed[3] = {};
    TPtr<Probe> head(new Probe(&destroyed[0]));
    head->held = new Probe(&destroyed[1]);
    head->held->held = new Probe(&destroyed[2]);

    head.Reset();
    CollectGarbage();
    EXPECT_TRUE(destroyed[0] && destroyed[1] && destroyed[2]);
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 0);
}

TEST_F(ObjectsTest, DestructorCanReviveAnotherPendingObject) {
    bool destroyedSaver = false, destroyedSaved = false;
    TPtr<Probe> rescued;
    Probe* saved = new Probe(&destroyedSaved);
    TPtr<Probe> saver(new Probe(&destroyedSaver));
    saver->m_onDestroy = [&] { rescued = saved; };

    saver.Reset();                    // pending first
    TPtr<Probe>(saved).Reset();       // pending second
    ASSERT_EQ(IPMMObject::CountPendingObjects(), 2);
    CollectGarbage();
    EXPECT_TRUE(destroyedSaver);
    EXPECT_FALSE(destroyedSaved);
    EXPECT_EQ(rescued->GetRefCount(), 1);
    rescued.Reset();
}

// A destructor that hands itself to a counting pointer (for example to unregister itself) must
// not put itself back into a registry while it is being deleted.
TEST_F(ObjectsTest, DestructorCountingItselfLeavesNoDanglingEntry) {
    bool destroyed = false;
    Probe* probe = new Probe(&destroyed);
    probe->m_onDestroy = [probe] { TPtr<Probe> self(probe); };
    TPtr<Probe>(probe).Reset();
    CollectGarbage();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 0);
}

TEST_F(ObjectsTest, ObjectDestroyedOutsideCollectGarbageLeavesTheRegistries) {
    {
        Probe onStack;
        EXPECT_EQ(IPMMObject::CountLiveObjects(), m_live + 1);
    }
    EXPECT_EQ(IPMMObject::CountLiveObjects(), m_live);

    Probe* pendingOne = new Probe;
    TPtr<Probe>(pendingOne).Reset();
    delete pendingOne;
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 0);
}

TEST_F(ObjectsTest, ClassStatisticsKeepCountsOfClassesThatDisappeared) {
    TPtr<Probe> a(new Probe(nullptr, "StatsA"));
    TPtr<Probe> b(new Probe(nullptr, "StatsA"));
    TPtr<Probe> c(new Probe(nullptr, "StatsB"));
    IPMMObject::DumpStatistics();
    const auto& table = IPMMObject::GetClassStatistics();
    EXPECT_EQ(table.at("StatsA"), 2);
    EXPECT_EQ(table.at("StatsB"), 1);

    b.Reset();
    c.Reset();
    CollectGarbage();
    IPMMObject::DumpStatistics();
    EXPECT_EQ(table.at("StatsA"), 1);
    EXPECT_EQ(table.at("StatsB"), 1);
}

TEST_F(ObjectsTest, ReportListsPendingObjectsInTheLog) {
    const bool wasEnabled = GetLog()->IsEnabled();
    GetLog()->SetEnabled(true);
    TPtr<Probe> a(new Probe(nullptr, "Pending1"));
    a.Reset();

    testing::internal::CaptureStderr();
    IPMMObject::DumpStatistics();
    const std::string withPending = testing::internal::GetCapturedStderr();
    const std::string expected = "Удаленный объект: ссылок - 0, класс - Pending1, размер - " +
                                 std::to_string(sizeof(Probe)) + " bytes\n";
    EXPECT_EQ(withPending, expected);

    CollectGarbage();
    testing::internal::CaptureStderr();
    IPMMObject::DumpStatistics();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    GetLog()->SetEnabled(wasEnabled);
}

TEST_F(ObjectsTest, TheLiveReportNamesEachLiveObjectAndCountsThem) {
    const bool wasEnabled = GetLog()->IsEnabled();
    GetLog()->SetEnabled(true);
    TPtr<Probe> leaked(new Probe(nullptr, "Leaked1"));
    testing::internal::CaptureStderr();
    const int32_t live = IPMMObject::ReportLiveObjects();
    const std::string report = testing::internal::GetCapturedStderr();
    GetLog()->SetEnabled(wasEnabled);

    EXPECT_EQ(live, m_live + 1);
    EXPECT_NE(report.find("Live engine object: references 1, class Leaked1, size " + std::to_string(sizeof(Probe)) +
                          " bytes\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("Live engine objects: " + std::to_string(m_live + 1) + "\n"), std::string::npos) << report;
}

TEST_F(ObjectsTest, TypedPointersConvertAndCheckTheirType) {
    TPtr<Special> special(new Special);
    TPtr<Probe> base = special;
    CPSmartPointer any = base;
    EXPECT_EQ(special->GetRefCount(), 3);
    EXPECT_TRUE(any == base);
    EXPECT_TRUE(any == special.Get());
    EXPECT_EQ(any.Get<Special>(), special.Get());
    EXPECT_EQ(TPtr<Special>::From(any), special);

    TPtr<Probe> plain(new Probe);
    CPSmartPointer other = plain;
    EXPECT_EQ(other.Get<Special>(), nullptr);
    EXPECT_FALSE(TPtr<Special>::From(other));

    TPtr<Probe> moved = std::move(base);
    EXPECT_FALSE(base);
    EXPECT_EQ(special->GetRefCount(), 3);
}

TEST_F(ObjectsTest, CopyIsANewUncountedObject) {
    TPtr<Probe> original(new Probe(nullptr, "Original"));
    TPtr<Probe> copy(new Probe(*original));
    EXPECT_EQ(original->GetRefCount(), 1);
    EXPECT_EQ(copy->GetRefCount(), 1);
    EXPECT_EQ(IPMMObject::CountLiveObjects(), m_live + 2);

    *copy = *original;
    EXPECT_EQ(copy->GetRefCount(), 1);
    original.Reset();
    CollectGarbage();
    EXPECT_FALSE(copy->IsDead());
}

struct Manager : TSingleton<Manager> {};

TEST(Singleton, AccessorIsNullBeforeConstructionAndAfterDestruction) {
    EXPECT_EQ(Manager::Instance(), nullptr);
    {
        Manager manager;
        EXPECT_EQ(Manager::Instance(), &manager);
    }
    EXPECT_EQ(Manager::Instance(), nullptr);
}

}  // namespace
