#pragma once
#include <cstdint>
#include <string>

#include "core/PTask.h"

// VX_STATE=F: when the game ends, the file F of the game's folder holds the play state of the last
// frame that had a level, as text, so that runs can be compared byte for byte:
//   frame <frames counted by the timer> <seconds of game time> random <the generator's state>
//   money <money> score <score> mission <mission>
//   car <x> <y> <z> health <health>          (or "car none" without a level)
//   enemy <kind> <x> <y> <z> health <health>  (each live enemy, in spawn order)
// Numbers are written with enough digits to read back the same float. The task runs after the
// level's updates and takes a new snapshot each frame while a level exists.
class CPGameStateDump : public IPTask {
public:
    explicit CPGameStateDump(std::string path);

    void Update() override;
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPGameStateDump"; }

    // The state last taken (the money and score of now when no level was ever seen).
    const std::string& Snapshot();
    // Writes the snapshot to the file; false when it cannot be written.
    bool Write();
    const std::string& GetPath() const { return m_path; }

    // The task's place in the task pass: after the level's update and before the renderer.
    static constexpr int32_t kPriority = 9500;

private:
    void Take();
    void Append(const char* format, ...) __attribute__((format(printf, 2, 3)));

    std::string m_path;
    std::string m_text;  // reused every frame, so it stops allocating once large enough
    bool m_levelSeen = false;
};
