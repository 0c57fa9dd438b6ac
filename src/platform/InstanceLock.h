#pragma once
#include <string>

namespace platform {

// One running copy of the program for each user: an exclusive lock (flock) on a file named after
// the single-instance event in $XDG_RUNTIME_DIR, or, when it is not set, in /tmp with the user's
// id added to the name ("<name>-<uid>"), so that the users of a machine never block each other.
// A lock file that is a link, no regular file or another user's is refused (Unavailable). The
// kernel lets the lock go when its process ends in any way, so the lock of a copy that crashed
// never blocks the next start; a file left behind means nothing by itself.
class InstanceLock {
public:
    enum class State {
        Held,           // this object holds the lock
        HeldElsewhere,  // another copy holds it
        Unavailable     // the lock file cannot be opened or is refused: nobody can be told apart
    };

    // Tries to take the lock named name, without waiting.
    explicit InstanceLock(const std::string& name);
    // Lets the lock go.
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State GetState() const { return state_; }
    // The lock file's path.
    const std::string& Path() const { return path_; }

    // The folder of the lock files: $XDG_RUNTIME_DIR, or /tmp when it is not set or empty.
    static std::string Folder();
    // The lock file's name in the folder for the lock named name.
    static std::string FileName(const std::string& name);

private:
    std::string path_;
    int descriptor_ = -1;
    State state_ = State::Unavailable;
};

}  // namespace platform
