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

bool SeedGame(std::string& error) {
    const char* text = std::getenv("VX_SEED");
    if (!text) {
        platform::Srand(platform::GetClock().Milliseconds());
        return true;
    }
    const std::optional<unsigned int> seed = ParseSeed(text);
    if (!seed) {
        error = "VX_SEED=\"" + std::string(text) + "\" is no whole number from 0 to 4294967295";
        return false;
    }
    platform::Srand(*seed);
    return true;
}
