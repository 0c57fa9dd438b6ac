// The programs the game starts (the web page's opener): they get the standard descriptors and the
// user's environment, nothing of the game's own.
#include "platform/ChildProgram.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/LibraryMessages.h"
#include "platform/WebPage.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits for the file a program writes last; false when it never comes.
bool WaitFor(const fs::path& path) {
    for (int wait = 0; wait < 3000 && !fs::exists(path); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fs::exists(path);
}

void Receive(const std::string&) {}

TEST(ChildProgram, TheOpenerGetsOnlyTheStandardDescriptorsAndNoneOfTheGamesVariables) {
    testsupport::TempDir folder;
    // The opener notes its environment and then, as its last act, the descriptors it was given
    // (ls adds the one it reads them through).
    const fs::path opener = folder / "opener.sh";
    std::ofstream(opener) << "#!/bin/sh\nenv > '" << (folder / "environment.txt").string() << "'\nexec ls /proc/self/fd > '"
                          << (folder / "descriptors.part").string() << "'\n";
    fs::permissions(opener, fs::perms::owner_all);

    // What the sound library does: it opens its log file, the game's pipe, without close-on-exec.
    unsetenv("ALSOFT_LOGFILE");
    platform::RouteLibraryMessages(Receive);
    const char* logFile = std::getenv("ALSOFT_LOGFILE");
    ASSERT_NE(logFile, nullptr);
    const int logDescriptor = open(logFile, O_WRONLY);
    ASSERT_GE(logDescriptor, 0);
    // And a file of the game's own that is open without close-on-exec.
    const int gameDescriptor = open((folder / "game.dat").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(gameDescriptor, 0);
    setenv("VX_RECORD", "best.rec", 1);
    setenv("KEPT_FOR_THE_OPENER", "yes", 1);

    setenv("VX_WEB_OPENER", opener.c_str(), 1);
    const bool started = platform::OpenWebPage("https://example.org/page");
    unsetenv("VX_WEB_OPENER");
    unsetenv("VX_RECORD");
    unsetenv("KEPT_FOR_THE_OPENER");
    close(gameDescriptor);
    close(logDescriptor);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WaitFor(folder / "descriptors.part"));
    for (int wait = 0; wait < 3000 && ReadText(folder / "descriptors.part").empty(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    std::istringstream descriptors(ReadText(folder / "descriptors.part"));
    int count = 0;
    for (int descriptor = 0; descriptors >> descriptor; ++count) {
        EXPECT_TRUE(descriptor <= 3) << "the opener got the game's descriptor " << descriptor;
    }
    EXPECT_EQ(count, 4) << "0, 1, 2 and the one ls reads through";
    const std::string environment = ReadText(folder / "environment.txt");
    EXPECT_NE(environment.find("KEPT_FOR_THE_OPENER=yes\n"), std::string::npos) << environment;
    EXPECT_EQ(environment.find("VX_"), std::string::npos) << environment;
    EXPECT_EQ(environment.find("ALSOFT_LOGFILE"), std::string::npos) << environment;
}

TEST(ChildProgram, AProgramThatCannotBeStartedIsAFailure) {
    EXPECT_FALSE(platform::StartChildProgram({"/nonexistent/opener", "https://example.org"}));
    EXPECT_FALSE(platform::StartChildProgram({}));
}

}  // namespace
