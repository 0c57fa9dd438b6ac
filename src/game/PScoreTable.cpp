#include "game/PScoreTable.h"

#include "core/PBinaryReader.h"
#include "core/PFileWriter.h"

std::vector<SPScoreLine> DefaultScoreTable()
{
    const int32_t scores[kScoreLineCount] = {4000, 3500, 3000, 2500, 2000, 1800, 1600, 1400, 1200, 1000, 500, 200};
    std::vector<SPScoreLine> table;
    for (int32_t score : scores) table.push_back({"PLAYER", score});
    return table;
}

bool ReadScoreTable(const uint8_t* data, size_t size, std::vector<SPScoreLine>& table, std::string& error)
{
    CPBinaryReader reader(data, size);
    std::vector<SPScoreLine> read(kScoreLineCount);
    for (int32_t i = 0; i < kScoreLineCount; ++i) {
        read[i].name = reader.ReadString();
        if (reader.HasFailed()) {
            error = "line " + std::to_string(i + 1) + ": the name is cut short";
            return false;
        }
        read[i].score = reader.ReadInt();
        if (reader.HasFailed()) {
            error = "line " + std::to_string(i + 1) + ": the score is cut short";
            return false;
        }
    }
    if (reader.GetRemaining() != 0) {
        error = "more bytes than twelve lines";
        return false;
    }
    table = std::move(read);
    return true;
}

std::vector<uint8_t> ScoreTableBytes(const std::vector<SPScoreLine>& table)
{
    CPFileWriter writer("");
    for (const SPScoreLine& line : table) {
        writer.WriteString(line.name);
        writer.WriteInt(line.score);
    }
    return writer.GetBuffer();
}

int32_t RankScore(std::vector<SPScoreLine>& table, int32_t newScore)
{
    const int32_t last = kScoreLineCount - 1;
    if (static_cast<int32_t>(table.size()) != kScoreLineCount || newScore <= table[last].score) return -1;
    int32_t place = last;
    for (int32_t k = last - 1; k >= 0 && table[k].score < newScore; --k) {
        table[k + 1] = table[k];
        place = k;
    }
    return place;
}
