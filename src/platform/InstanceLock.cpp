#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

// Read access is all flock needs. The lock must not pass to programs the game starts (a web
// browser opened at exit would keep it), and a link planted in a shared /tmp is not followed. A
// file another user made, or one that is no regular file (a pipe would block the open), is not
// ours to lock: whoever made it could keep every start of the game waiting.
int OpenLockFile(const std::string& path) {
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int descriptor = open(path.c_str(), kFlags | O_CREAT, 0600);
    // Another user's file in a sticky folder refuses O_CREAT; it is refused below.
    if (descriptor < 0) descriptor = open(path.c_str(), kFlags);
    if (descriptor < 0) return -1;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid()) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

// $XDG_RUNTIME_DIR, the user's own folder; null when it is not set or empty.
const char* RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime ? runtime : nullptr;
}

}  // namespace

std::string InstanceLock::Folder() {
    const char* runtime = RuntimeFolder();
    return runtime ? runtime : "/tmp";
}

std::string InstanceLock::FileName(const std::string& name) {
    return RuntimeFolder() ? name : name + "-" + std::to_string(geteuid());
}

InstanceLock::InstanceLock(const std::string& name) : path_(Folder() + "/" + FileName(name)) {
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
