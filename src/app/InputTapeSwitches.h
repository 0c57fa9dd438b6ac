#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/PGrowingFile.h"
#include "platform/InputRecording.h"
#include "platform/InputTape.h"

// The switches of the input tape (platform/InputTape.h), read from the environment:
//   VX_RECORD=F  records the run's input into the file F of the game's folder (with the seed, so
//                that a replay without VX_SEED uses it again), written as the run goes: the file
//                is replaced once the first passes are over, then grows about once a second, so
//                a run that is killed leaves the recording of what it played up to then;
//   VX_REPLAY=F  plays the recording F back in place of the keyboard and mouse.
// File names are game paths inside the game's folder (PathResolver.h); one leading '/' is refused.
class CPInputTapeSwitches : private platform::RecordingSink {
public:
    // Reads the switches; a replay's file is read and checked now, and whether a recording's file
    // can be written is found out now (without touching a file already there), so that a name
    // that cannot be written is known before the game. False, with the reason, when both are set
    // or a file cannot be read, written or used.
    bool Read(std::string& error);
    // The seed of the replayed run; none without a replay.
    std::optional<unsigned int> RecordedSeed() const;
    // Starts recording or replaying (if asked) with the seed the game's generator started from.
    void Start(unsigned int seed);
    // Writes the rest of the recording to its file and stops recording (nothing to do without
    // VX_RECORD; a run that ended before its first pass leaves the file as it was). False, with
    // the reason, when the file could not be written, now or during the run.
    bool FinishRecording(std::string& error);

private:
    void Write(const std::vector<uint8_t>& bytes) override;

    std::unique_ptr<CPGrowingFile> m_recording;
    std::string m_recordPath;
    std::string m_replayPath;
    platform::InputRecording m_replay;
};
