#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The high-score table: twelve lines, index 0 the best. Data\scores.dat holds them back to back,
// index 0 first, each a name (32-bit length, then its bytes) and a 32-bit score, little-endian;
// the whole file is scrambled.
struct SPScoreLine {
    std::string name;
    int32_t score = 0;

    bool operator==(const SPScoreLine&) const = default;
};

constexpr int32_t kScoreLineCount = 12;

// Twelve lines "PLAYER" with 4000, 3500, 3000, 2500, 2000, 1800, 1600, 1400, 1200, 1000, 500, 200.
std::vector<SPScoreLine> DefaultScoreTable();

// Reads the twelve lines from the (unscrambled) bytes of the file into table. False, with the
// reason in error and table untouched, unless the bytes hold exactly twelve lines (a name is
// bounded only by the bytes that are there).
bool ReadScoreTable(const uint8_t* data, size_t size, std::vector<SPScoreLine>& table, std::string& error);

// The (unscrambled) bytes of the file for a table of twelve lines.
std::vector<uint8_t> ScoreTableBytes(const std::vector<SPScoreLine>& table);

// The place a new score takes: -1 when it is not greater than the last line's score (nothing
// changes); otherwise every line below the place moves down one (the last line falls out) and
// the place itself still holds its old content, for the caller to fill. Equal scores stay above.
int32_t RankScore(std::vector<SPScoreLine>& table, int32_t newScore);
