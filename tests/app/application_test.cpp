// The application run in this process on a copy of the sample data.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "WorkingFolder.h"
#include "app/Application.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "platform/PathResolver.h"
#include "platform/WindowMessage.h"

namespace {

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        platform::InvalidateListings();
        platform::GetMessageQueue().Clear();
        // Off screen: windows of parallel tests on a shared display would take the focus, and a
        // game whose window is inactive pauses.
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }

    void TearDown() override {
        unsetenv("SDL_VIDEODRIVER");
        unsetenv("VX_FRAMES");
        platform::GetMessageQueue().Clear();
    }

    bool Written(const char* name) const { return std::filesystem::exists(m_folder.Path() / name); }

    apptest::WorkingFolder m_folder;
};

TEST_F(ApplicationTest, AFullRunLeavesNoEngineObjectAlive) {
    setenv("VX_FRAMES", "5", 1);
    const int32_t liveBefore = IPMMObject::CountLiveObjects();
    {
        CPApplication application;
        application.Init();
        ASSERT_EQ(application.Run(), 0);
    }
    EXPECT_EQ(IPMMObject::CountLiveObjects(), liveBefore);
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 0);
}

TEST_F(ApplicationTest, ClosingTheWindowEndsTheRunAndStillWritesTheFiles) {
    setenv("VX_FRAMES", "100000", 1);  // only a failure to close would end the game this way
    std::filesystem::remove(m_folder.Path() / "Actions.cfg");
    platform::InvalidateListings();
    platform::GetMessageQueue().Post({platform::MessageType::Close});
    {
        CPApplication application;
        application.Init();
        ASSERT_EQ(application.Run(), 0);
    }
    EXPECT_LT(g_frameCounter, 10);
    EXPECT_TRUE(Written("Actions.cfg"));
    EXPECT_TRUE(Written("config.cfg"));
}

TEST_F(ApplicationTest, EscapeTypedInTheGameEndsIt) {
    setenv("VX_FRAMES", "100000", 1);
    platform::GetMessageQueue().Post({platform::MessageType::Char, 27});
    {
        CPApplication application;
        application.Init();
        ASSERT_EQ(application.Run(), 0);
    }
    EXPECT_LT(g_frameCounter, 10);
}

}  // namespace
