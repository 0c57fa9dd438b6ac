// The single-instance lock: one holder at a time, released however its holder ends.
#include "platform/InstanceLock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "support/TempDir.h"

extern char** environ;

namespace {

using State = platform::InstanceLock::State;
constexpr char kName[] = "VXLauncher_started";

// $XDG_RUNTIME_DIR pointing at a fresh folder while the object lives.
class RuntimeFolder {
public:
    RuntimeFolder() {
        if (const char* previous = std::getenv("XDG_RUNTIME_DIR")) previous_ = previous;
        setenv("XDG_RUNTIME_DIR", folder_.Path().c_str(), 1);
    }
    ~RuntimeFolder() {
        if (previous_.empty()) {
            unsetenv("XDG_RUNTIME_DIR");
        } else {
            setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
        }
    }
    const std::filesystem::path& Path() const { return folder_.Path(); }

private:
    testsupport::TempDir folder_;
    std::string previous_;
};

TEST(InstanceLock, OneHolderAtATimeAndTheNextOnceItIsGone) {
    RuntimeFolder runtime;
    {
        platform::InstanceLock first(kName);
        EXPECT_EQ(first.GetState(), State::Held);
        EXPECT_EQ(first.Path(), (runtime.Path() / kName).string());
        platform::InstanceLock second(kName);
        EXPECT_EQ(second.GetState(), State::HeldElsewhere);
        platform::InstanceLock other("another_event");
        EXPECT_EQ(other.GetState(), State::Held);
    }
    platform::InstanceLock next(kName);
    EXPECT_EQ(next.GetState(), State::Held) << "the file left behind does not block";
}

TEST(InstanceLock, ACopyThatCrashedDoesNotBlockTheNextStart) {
    RuntimeFolder runtime;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::InstanceLock lock(kName);
        const char state = lock.GetState() == State::Held ? 'h' : 'x';
        if (write(ready[1], &state, 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char state = 0;
    ASSERT_EQ(read(ready[0], &state, 1), 1);
    close(ready[0]);
    ASSERT_EQ(state, 'h');
    EXPECT_EQ(platform::InstanceLock(kName).GetState(), State::HeldElsewhere);

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(std::filesystem::exists(runtime.Path() / kName));
    EXPECT_EQ(platform::InstanceLock(kName).GetState(), State::Held);
}

TEST(InstanceLock, ProgramsStartedByTheHolderDoNotKeepTheLock) {
    RuntimeFolder runtime;
    auto holder = std::make_unique<platform::InstanceLock>(kName);
    ASSERT_EQ(holder->GetState(), State::Held);
    char program[] = "sleep";
    char seconds[] = "60";
    char* arguments[] = {program, seconds, nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawnp(&child, program, nullptr, nullptr, arguments, environ), 0);
    holder.reset();
    EXPECT_EQ(platform::InstanceLock(kName).GetState(), State::Held);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

// The runtime folder is the user's own; the shared /tmp gets one lock file for each user.
TEST(InstanceLock, LivesInTheRuntimeFolderOrElseTmpWithTheUsersId) {
    RuntimeFolder runtime;
    EXPECT_EQ(platform::InstanceLock::Folder(), runtime.Path().string());
    EXPECT_EQ(platform::InstanceLock::FileName(kName), kName);
    const std::string perUser = std::string(kName) + "-" + std::to_string(geteuid());
    setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(platform::InstanceLock::Folder(), "/tmp");
    EXPECT_EQ(platform::InstanceLock::FileName(kName), perUser);
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::InstanceLock::Folder(), "/tmp");
    EXPECT_EQ(platform::InstanceLock::FileName(kName), perUser);

    const std::string event = "vx_lock_test_" + std::to_string(getpid());
    platform::InstanceLock lock(event);
    EXPECT_EQ(lock.GetState(), State::Held);
    EXPECT_EQ(lock.Path(), "/tmp/" + event + "-" + std::to_string(geteuid()));
    std::filesystem::remove(lock.Path());
}

TEST(InstanceLock, ALinkInPlaceOfTheFileIsNotFollowed) {
    RuntimeFolder runtime;
    const std::filesystem::path target = runtime.Path() / "target";
    std::filesystem::create_symlink(target, runtime.Path() / kName);
    platform::InstanceLock lock(kName);
    EXPECT_EQ(lock.GetState(), State::Unavailable);
    EXPECT_FALSE(std::filesystem::exists(target));
}

// Whoever can plant a file where the lock lies must not keep the game from starting (or from
// reaching the lock at all): a file of another user or no regular file is refused.
TEST(InstanceLock, AFileThatIsNotTheUsersOwnIsRefused) {
    RuntimeFolder runtime;
    const std::filesystem::path path = runtime.Path() / kName;
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(platform::InstanceLock(kName).GetState(), State::Unavailable) << "a pipe";
    std::filesystem::remove(path);

    if (geteuid() != 0) GTEST_SKIP() << "only root can make a file of another user";
    constexpr uid_t kOtherUser = 65534;
    const int planted = open(path.c_str(), O_RDONLY | O_CREAT, 0644);
    ASSERT_GE(planted, 0);
    ASSERT_EQ(fchown(planted, kOtherUser, kOtherUser), 0);
    // Its owner holds it, as another user's running copy would.
    ASSERT_EQ(flock(planted, LOCK_EX | LOCK_NB), 0);
    platform::InstanceLock lock(kName);
    EXPECT_EQ(lock.GetState(), State::Unavailable) << "another user's file";
    close(planted);
}

}  // namespace
