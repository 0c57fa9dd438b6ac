#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "core/PFile.h"
#include "core/PPack.h"
#include "core/PPackBuilder.h"
#include "core/Result.h"
#include "core/Scramble.h"
#include "core/files_fixture.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> BuildPack(const std::vector<std::pair<std::string, std::string>>& files,
                               const std::string& root = "Data")
{
    CPPackBuilder builder(root);
    for (const auto& [path, content] : files) EXPECT_TRUE(builder.AddFile(path, Bytes(content)));
    std::vector<uint8_t> pack;
    EXPECT_TRUE(builder.Build(pack));
    return pack;
}

// The text a CPFile loads, or "<missing>".
std::string Load(const std::string& path, bool scrambled = false)
{
    CPFile file(path, scrambled);
    if (file.Load() != S_OK) return "<missing>";
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
}

class PacksTest : public TempWorkingFolder {};

TEST(Scrambling, RoundTripLongerThanTheKey)
{
    std::vector<uint8_t> original(3 * kScrambleKeySize + 17);
    std::iota(original.begin(), original.end(), uint8_t{0});
    std::vector<uint8_t> data = original;
    Scramble(data);
    EXPECT_NE(data, original);
    for (size_t i = 0; i + kScrambleKeySize < data.size(); i += 101) {
        EXPECT_EQ(static_cast<uint8_t>(data[i] - original[i]),
                  static_cast<uint8_t>(data[i + kScrambleKeySize] - original[i + kScrambleKeySize]))
            << "the key starts over at byte " << kScrambleKeySize;
    }
    Unscramble(data);
    EXPECT_EQ(data, original);
}

TEST(Scrambling, EveryBufferStartsAtTheFirstKeyByte)
{
    std::vector<uint8_t> whole(10, 0), tail(5, 0);
    Scramble(whole);
    Scramble(tail);
    EXPECT_EQ(std::vector<uint8_t>(whole.begin(), whole.begin() + 5), tail);
}

TEST_F(PacksTest, ReadsFilesFromAPackInAnyCase)
{
    WriteDiskFile("Data/game1.dat", BuildPack({{"Textures/Sky.tga", "sky"}, {"links.txt", "links"}}));
    EXPECT_EQ(MountPacks(), S_OK);
    EXPECT_EQ(Load("Data\\Textures\\Sky.TGA"), "sky");
    EXPECT_EQ(Load("data\\textures\\sky.tga"), "sky");
    EXPECT_EQ(Load("data\\links.txt", true), "links") << "pack bodies are unscrambled whatever the flag";
    EXPECT_EQ(Load("data/textures/sky.tga"), "<missing>") << "pack keys use backslashes";
    EXPECT_EQ(Load("data\\textures"), "<missing>") << "folders are not entries";
    EXPECT_EQ(Load("data\\textures\\none.tga"), "<missing>");
}

TEST_F(PacksTest, DiskWinsOverPacks)
{
    WriteDiskFile("Data/game1.dat", BuildPack({{"a.txt", "from pack"}, {"b.txt", "only in pack"}}));
    WriteDiskFile("data/A.TXT", "from disk");
    MountPacks();
    EXPECT_EQ(Load("Data\\a.txt"), "from disk");
    EXPECT_EQ(Load("Data\\b.txt"), "only in pack");
    EXPECT_EQ(Load("data/a.txt"), "from disk") << "forward slashes still find disk files";
}

TEST_F(PacksTest, HighestNumberWinsNumericallyNotByText)
{
    WriteDiskFile("Data/game2.dat", BuildPack({{"a.txt", "two"}, {"only2.txt", "2"}}));
    WriteDiskFile("Data/game10.dat", BuildPack({{"a.txt", "ten"}}));
    WriteDiskFile("Data/game9.dat", BuildPack({{"a.txt", "nine"}}));
    EXPECT_EQ(MountPacks(), S_OK);
    EXPECT_EQ(Load("data\\a.txt"), "ten");
    EXPECT_EQ(Load("data\\only2.txt"), "2");
    ASSERT_EQ(GetPacks().size(), 3u);
    EXPECT_EQ(GetPacks()[0].number, 10);
    EXPECT_EQ(GetPacks()[2].number, 2);
}

TEST_F(PacksTest, PackNamesAreCaseSensitive)
{
    const std::vector<uint8_t> pack = BuildPack({{"a.txt", "x"}});
    for (const char* name : {"Data/Game3.dat", "Data/game3.DAT", "Data/game3.dat", "Data/gamex.dat",
                             "Data/other.dat"}) {
        WriteDiskFile(name, pack);
    }
    std::filesystem::create_directory("Data/game4.dat");
    EXPECT_EQ(MountPacks(), S_OK);
    std::vector<std::pair<int32_t, std::string>> mounted;
    for (const CPPack& p : GetPacks()) mounted.emplace_back(p.number, p.path);
    const std::vector<std::pair<int32_t, std::string>> expected = {{3, "Data\\game3.dat"}, {0, "Data\\gamex.dat"}};
    EXPECT_EQ(mounted, expected);
}

TEST(PackNames, Numbers)
{
    EXPECT_TRUE(IsPackName("game1.dat"));
    EXPECT_TRUE(IsPackName("game.dat"));
    EXPECT_TRUE(IsPackName("game1_dat"));
    EXPECT_FALSE(IsPackName("Game1.dat"));
    EXPECT_FALSE(IsPackName("game1.DAT"));
    EXPECT_FALSE(IsPackName("gamdat"));
    EXPECT_EQ(PackNumber("game12.dat"), 12);
    EXPECT_EQ(PackNumber("game.dat"), 0);
    EXPECT_EQ(PackNumber("gamex.dat"), 0);
    EXPECT_EQ(PackNumber("game7b.dat"), 7);
    EXPECT_EQ(PackNumber("game99999999999999.dat"), 0) << "too large for a number";
}

TEST_F(PacksTest, BrokenPacksAreSkippedAndTheOthersMount)
{
    std::vector<uint8_t> wrongMagic = BuildPack({{"a.txt", "bad"}});
    wrongMagic[0] ^= 1;
    std::vector<uint8_t> truncated = BuildPack({{"a.txt", "cut"}, {"b.txt", "cut too"}});
    truncated.resize(truncated.size() - 3);
    WriteDiskFile("Data/game1.dat", BuildPack({{"a.txt", "good"}}));
    WriteDiskFile("Data/game5.dat", wrongMagic);
    WriteDiskFile("Data/game6.dat", truncated);
    WriteDiskFile("Data/game7.dat", std::string(40, '\xFF'));
    WriteDiskFile("Data/game8.dat", "");

    EXPECT_EQ(MountPacks(), E_FAIL);
    EXPECT_EQ(Load("data\\a.txt"), "good");
    EXPECT_EQ(Load("data\\b.txt"), "<missing>") << "a truncated pack contributes nothing";
    for (const CPPack& pack : GetPacks()) {
        if (pack.number != 1) {
            EXPECT_TRUE(pack.entries.empty()) << pack.path;
        }
    }
}

TEST_F(PacksTest, EveryTruncatedPrefixOfAPackIsRejected)
{
    const std::vector<uint8_t> pack =
        BuildPack({{"Meshes/car.rdf", "car description"}, {"Meshes/Sub/x.bin", "xx"}, {"z.txt", "last body"}});
    CPPack whole;
    WriteDiskFile("whole.dat", pack);
    ASSERT_TRUE(LoadPackIndex("whole.dat", whole));
    EXPECT_EQ(whole.entries.size(), 3u);
    EXPECT_TRUE(whole.entries.count("data\\meshes\\sub\\x.bin"));

    for (size_t length = 0; length < pack.size(); ++length) {
        WriteDiskFile("prefix.dat", std::vector<uint8_t>(pack.begin(), pack.begin() + length));
        CPPack prefix;
        EXPECT_FALSE(LoadPackIndex("prefix.dat", prefix)) << "prefix of " << length << " bytes";
        EXPECT_TRUE(prefix.entries.empty()) << "prefix of " << length << " bytes";
    }
}

// A pack whose index is given in plain bytes (scrambled here), with bodies after it.
std::vector<uint8_t> PackWithIndex(std::vector<uint8_t> index, const std::vector<uint8_t>& bodies)
{
    std::vector<uint8_t> pack = {0xC4, 0x27, 0x16, 0xAF};
    const uint32_t size = static_cast<uint32_t>(index.size());
    for (int shift = 0; shift < 32; shift += 8) pack.push_back(static_cast<uint8_t>(size >> shift));
    Scramble(index);
    pack.insert(pack.end(), index.begin(), index.end());
    pack.insert(pack.end(), bodies.begin(), bodies.end());
    return pack;
}

void AppendEntry(std::vector<uint8_t>& index, const std::string& name, int32_t offset, uint32_t size,
                 uint32_t children)
{
    auto append = [&](uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) index.push_back(static_cast<uint8_t>(v >> shift));
    };
    append(static_cast<uint32_t>(name.size()));
    index.insert(index.end(), name.begin(), name.end());
    append(static_cast<uint32_t>(offset));
    append(size);
    append(children);
}

TEST_F(PacksTest, InconsistentIndexesAreRejectedWithoutHugeAllocations)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> pack;
    };
    std::vector<Case> cases;

    std::vector<uint8_t> index;
    AppendEntry(index, "Data", -1, 0, 0xFFFFFFFFu);
    cases.push_back({"child count beyond the index", PackWithIndex(index, {})});

    index.clear();
    AppendEntry(index, "Data", -1, 0, 1);
    AppendEntry(index, "a.txt", 0, 0xFFFFFFF0u, 0);
    cases.push_back({"body size beyond the file", PackWithIndex(index, {1, 2, 3})});

    index.clear();
    AppendEntry(index, "Data", -1, 0, 1);
    AppendEntry(index, "a.txt", 0x7FFFFFFF, 1, 0);
    cases.push_back({"body offset beyond the file", PackWithIndex(index, {1, 2, 3})});

    index = {0xF0, 0xFF, 0xFF, 0xFF};
    cases.push_back({"name length beyond the index", PackWithIndex(index, {})});

    std::vector<uint8_t> hugeIndexSize = {0xC4, 0x27, 0x16, 0xAF, 0xF0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    cases.push_back({"index size beyond the file", hugeIndexSize});

    index.clear();
    for (int depth = 0; depth < 100000; ++depth) AppendEntry(index, "d", -1, 0, 1);
    AppendEntry(index, "a.txt", 0, 0, 0);
    cases.push_back({"folders nested beyond reason", PackWithIndex(index, {})});

    for (const Case& c : cases) {
        WriteDiskFile("bad.dat", c.pack);
        CPPack pack;
        EXPECT_FALSE(LoadPackIndex("bad.dat", pack)) << c.name;
        EXPECT_TRUE(pack.entries.empty()) << c.name;
    }
}

TEST_F(PacksTest, EmptyBodiesAndRepeatedPathsInOnePack)
{
    std::vector<uint8_t> index;
    AppendEntry(index, "Data", -1, 0, 3);
    AppendEntry(index, "empty.txt", 0, 0, 0);
    AppendEntry(index, "A.txt", 0, 2, 0);
    AppendEntry(index, "a.TXT", 2, 1, 0);
    std::vector<uint8_t> bodies = {'x', 'y'};
    Scramble(bodies);
    std::vector<uint8_t> second = {'z'};
    Scramble(second);
    bodies.push_back(second[0]);
    WriteDiskFile("Data/game1.dat", PackWithIndex(index, bodies));
    ASSERT_EQ(MountPacks(), S_OK);
    EXPECT_EQ(Load("data\\empty.txt"), "");
    EXPECT_EQ(Load("data\\a.txt"), "z") << "the later entry of a path wins";
}

TEST_F(PacksTest, AnEmptyFileInAPackReadsAsTheEndOfData)
{
    std::vector<uint8_t> index;
    AppendEntry(index, "Data", -1, 0, 1);
    AppendEntry(index, "a", 0, 0, 0);
    const std::vector<uint8_t> pack = PackWithIndex(index, {});
    ASSERT_EQ(pack.size(), 45u);
    WriteDiskFile("Data/game1.dat", pack);
    ASSERT_EQ(MountPacks(), S_OK);

    CPFile file("data\\a");
    ASSERT_EQ(file.Load(), S_OK);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.ReadString(), "");
    EXPECT_TRUE(file.HasFailed());
    EXPECT_EQ(file.ReadFloat(), 0.0f);
}

TEST_F(PacksTest, PackBuilderRejectsClashingPaths)
{
    CPPackBuilder builder("Data");
    EXPECT_TRUE(builder.AddFile("a\\b.txt", Bytes("1")));
    EXPECT_FALSE(builder.AddFile("a", Bytes("2"))) << "a is a folder";
    EXPECT_FALSE(builder.AddFile("a\\b.txt\\c", Bytes("3"))) << "b.txt is a file";
    EXPECT_FALSE(builder.AddFile("", Bytes("4")));
}

}  // namespace
