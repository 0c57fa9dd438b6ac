#pragma once
#include <optional>
#include <string>

#include "platform/InputRecording.h"

// The switches of the input tape (platform/InputTape.h), read from the environment:
//   VX_RECORD=F  records the run's input into the file F of the game's folder, written when the
//                game ends (with the seed, so that a replay without VX_SEED uses it again);
//   VX_REPLAY=F  plays the recording F back in place of the keyboard and mouse.
// File names are game paths inside the game's folder (PathResolver.h); one leading '/' is refused.
class CPInputTapeSwitches {
public:
    // Reads the switches; a replay's file is read and checked now, a recording's file is written
    // empty now so that a name that cannot be written is known before the game. False, with the
    // reason, when both are set or a file cannot be read, written or used.
    bool Read(std::string& error);
    // The seed of the replayed run; none without a replay.
    std::optional<unsigned int> RecordedSeed() const;
    // Starts recording or replaying (if asked) with the seed the game's generator started from.
    void Start(unsigned int seed);
    // Writes the recording made to its file (nothing to do without VX_RECORD). False, with the
    // reason, when it cannot be written.
    bool SaveRecording(std::string& error) const;

private:
    std::string m_recordPath;
    std::string m_replayPath;
    platform::InputRecording m_replay;
};
