#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

// Read access is all flock needs. The lock must not pass to programs the game starts (a web
// browser opened at exit would keep it), and a link planted in a shared /tmp is not followed.
int OpenLockFile(const std::string& path) {
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW;
    const int descriptor = open(path.c_str(), kFlags | O_CREAT, 0644);
    // Another user's file in a sticky folder may refuse O_CREAT; it can still be locked.
    return descriptor >= 0 ? descriptor : open(path.c_str(), kFlags);
}

}  // namespace

std::string InstanceLock::Folder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime ? runtime : "/tmp";
}

InstanceLock::InstanceLock(const std::string& name) : path_(Folder() + "/" + name) {
    descriptor_ = OpenLockFile(path_);
    if (descriptor_ < 0) return;
    int result;
    do {
        result = flock(descriptor_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        state_ = State::Held;
    } else {
        state_ = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
        close(descriptor_);
        descriptor_ = -1;
    }
}

InstanceLock::~InstanceLock() {
    if (descriptor_ >= 0) close(descriptor_);
}

}  // namespace platform
