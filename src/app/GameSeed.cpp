#include "app/GameSeed.h"

#include <charconv>
#include <cstdlib>

#include "platform/Clock.h"
#include "platform/Random.h"

std::optional<unsigned int> ParseSeed(const std::string& text) {
    unsigned int seed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seed);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return seed;
}

bool SeedGame(const std::optional<unsigned int>& recordedSeed, unsigned int& seed, std::string& error) {
    const char* text = std::getenv("VX_SEED");
    if (text) {
        const std::optional<unsigned int> chosen = ParseSeed(text);
        if (!chosen) {
            error = "VX_SEED=\"" + std::string(text) + "\" is no whole number from 0 to 4294967295";
            return false;
        }
        seed = *chosen;
    } else {
        seed = recordedSeed ? *recordedSeed : platform::GetClock().Milliseconds();
    }
    platform::Srand(seed);
    return true;
}
