#pragma once
#include <optional>
#include <string>

// The seed of the game's generator, chosen once at start-up. VX_SEED=N (a whole number from 0 to
// 4294967295) makes every run draw the same numbers; together with VX_FRAME_TIME a run then
// shows the same frames each time. Without it a replay (VX_REPLAY) takes the recorded seed and any
// other run one from the clock.

// The seed the text names, or none when it is not a plain decimal number in that range.
std::optional<unsigned int> ParseSeed(const std::string& text);

// Seeds the generator from VX_SEED; when VX_SEED is not set, from the replayed recording's seed
// if there is one, else from the clock. The seed used goes to seed. False, with the reason, when
// VX_SEED is set but names no seed; the generator is then left as it was.
bool SeedGame(const std::optional<unsigned int>& recordedSeed, unsigned int& seed, std::string& error);
