// vxscores: writes the game's score table (Data\scores.dat, scrambled) from a text file of twelve
// lines "name;score", best first, and prints the lines of a score file.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/PFileWriter.h"
#include "core/Result.h"
#include "core/Scramble.h"
#include "core/TextHelpers.h"
#include "game/DataFileReader.h"
#include "game/PScoreTable.h"

namespace {

constexpr const char* kUsage =
    "usage: vxscores build <table.txt> <scores.dat>   twelve lines \"name;score\", best first\n"
    "       vxscores list <scores.dat>                print the twelve lines of a score file\n";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "vxscores: %s\n", message.c_str());
    return 1;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool ParseTable(const std::vector<uint8_t>& text, std::vector<SPScoreLine>& table, std::string& error)
{
    for (const std::string& line : SplitLines(text.data(), text.size())) {
        const std::vector<std::string> fields = SplitFields(line, ";", 2);
        SPScoreLine score;
        if (fields.size() != 2 || !ReadIntField(fields[1], score.score)) {
            error = "not a line \"name;score\": " + line;
            return false;
        }
        score.name = fields[0];
        table.push_back(score);
    }
    if (table.size() == kScoreLineCount) return true;
    error = "the table has " + std::to_string(table.size()) + " lines, not 12";
    return false;
}

int Build(const std::string& textPath, const std::string& scoresPath)
{
    std::vector<uint8_t> text;
    if (!ReadWholeFile(textPath, text)) return Fail("cannot read " + textPath);
    std::vector<SPScoreLine> table;
    std::string error;
    if (!ParseTable(text, table, error)) return Fail(textPath + ": " + error);
    CPFileWriter writer(scoresPath, true);
    const std::vector<uint8_t> bytes = ScoreTableBytes(table);
    writer.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (writer.Save() != S_OK) return Fail("cannot write " + scoresPath);
    return 0;
}

int List(const std::string& scoresPath)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(scoresPath, bytes)) return Fail("cannot read " + scoresPath);
    Unscramble(bytes);
    std::vector<SPScoreLine> table;
    std::string error;
    if (!ReadScoreTable(bytes.data(), bytes.size(), table, error)) return Fail(scoresPath + ": " + error);
    for (const SPScoreLine& line : table) std::printf("%s;%d\n", ShowControlBytes(line.name).c_str(), line.score);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "build") return Build(args[1], args[2]);
    if (args.size() == 2 && args[0] == "list") return List(args[1]);
    std::fputs(kUsage, stderr);
    return 2;
}
