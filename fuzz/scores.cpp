// Data\scores.dat: the input is the file's unscrambled content. The game data reads it (scrambled
// on disk) over its table; a table that was read writes back to the same twelve lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Scramble.h"
#include "game/PGameData.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterTemporaryFolder();
    std::vector<uint8_t> scrambled(data, data + size);
    Scramble(scrambled);
    fuzz::WriteFile("data/scores.dat", scrambled.data(), scrambled.size());
    CPGameData gameData;
    gameData.LoadScores();
    gameData.AddScore(1000);

    std::vector<SPScoreLine> table;
    std::vector<SPScoreLine> again;
    std::string error;
    if (!ReadScoreTable(data, size, table, error)) return 0;
    const std::vector<uint8_t> written = ScoreTableBytes(table);
    if (!ReadScoreTable(written.data(), written.size(), again, error) || again != table) std::abort();
    return 0;
}
