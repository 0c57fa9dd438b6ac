// vxlevel: builds a level file (.lvl) from its text form and prints a level file as text.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "LevelText.h"
#include "core/PFileWriter.h"
#include "core/Result.h"

namespace {

constexpr const char* kUsage =
    "usage: vxlevel build <level.txt> <out.lvl>   a level file from its text form\n"
    "       vxlevel dump <level.lvl>              prints a level file as text (the form build reads)\n";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "vxlevel: %s\n", message.c_str());
    return 1;
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int Build(const std::string& textPath, const std::string& levelPath)
{
    std::string text;
    if (!ReadWholeFile(textPath, text)) return Fail("cannot read " + textPath);
    SPLevelFile level;
    std::string error;
    if (!vxlevel::ParseLevelText(text, level, error)) return Fail(textPath + ": " + error);
    const std::vector<uint8_t> bytes = WriteLevelFile(level);
    CPFileWriter writer(levelPath);
    writer.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (writer.Save() != S_OK) return Fail("cannot write " + levelPath);
    return 0;
}

int Dump(const std::string& levelPath)
{
    std::string bytes;
    if (!ReadWholeFile(levelPath, bytes)) return Fail("cannot read " + levelPath);
    SPLevelFile level;
    std::string error;
    if (!ReadLevelFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), level, error)) {
        return Fail(levelPath + ": " + error);
    }
    std::fputs(vxlevel::FormatLevelText(level).c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "build") return Build(args[1], args[2]);
    if (args.size() == 2 && args[0] == "dump") return Dump(args[1]);
    std::fputs(kUsage, stderr);
    return 2;
}
