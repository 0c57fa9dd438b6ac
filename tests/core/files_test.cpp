#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/PFile.h"
#include "core/PFileFinder.h"
#include "core/PFileWriter.h"
#include "core/Result.h"
#include "core/Scramble.h"
#include "core/files_fixture.h"

namespace {

namespace fs = std::filesystem;

class FilesTest : public TempWorkingFolder {};

std::string Loaded(CPFile& file)
{
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST_F(FilesTest, ReadsADiskFileWhateverTheCaseOfTheRequest)
{
    WriteDiskFile("Data/Levels/Map1.lvl", "level bytes");
    for (const char* request : {"Data\\Levels\\Map1.lvl", "data\\levels\\map1.lvl", "DATA/LEVELS/MAP1.LVL"}) {
        CPFile file(request);
        ASSERT_EQ(file.Load(), S_OK) << request;
        EXPECT_EQ(Loaded(file), "level bytes");
    }
    EXPECT_EQ(CPFile("Data\\Levels\\Other.lvl").Load(), E_FAIL);
    EXPECT_EQ(CPFile("Data\\Levels").Load(), E_FAIL) << "a folder is not a file";
}

TEST_F(FilesTest, WhatIsWrittenIsFoundAgainInAnyCase)
{
    CPFileWriter actions("Actions.cfg");
    actions.Write("bindings", 8);
    ASSERT_EQ(actions.Save(), S_OK);
    CPFileWriter save("DATA\\Saves\\save1.sav", true);
    save.WriteString("slot one");
    ASSERT_EQ(save.Save(), S_OK);

    CPFile readActions("actions.cfg");
    ASSERT_EQ(readActions.Load(), S_OK);
    EXPECT_EQ(Loaded(readActions), "bindings");
    CPFile readSave("data\\saves\\save1.sav", true);
    ASSERT_EQ(readSave.Load(), S_OK);
    EXPECT_EQ(readSave.ReadString(), "slot one");

    // Writing again under another case replaces the same files.
    CPFileWriter again("actions.CFG");
    again.Write("new", 3);
    ASSERT_EQ(again.Save(), S_OK);
    EXPECT_EQ(ReadDiskFile("Actions.cfg"), "new");
    EXPECT_FALSE(fs::exists("actions.CFG"));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2) << "Actions.cfg and DATA";
}

TEST_F(FilesTest, BinaryStreamRoundTrip)
{
    CPFileWriter writer("stream.bin");
    writer.WriteInt(-123456789);
    writer.WriteFloat(0.1f);
    writer.WriteString("text");
    writer.WriteString("");
    writer.Write("raw", 3);
    ASSERT_EQ(writer.Save(), S_OK);

    const std::vector<uint8_t> expectedStart = {0xEB, 0x32, 0xA4, 0xF8, 0xCD, 0xCC, 0xCC, 0x3D, 4, 0, 0, 0, 't'};
    const std::string onDisk = ReadDiskFile("stream.bin");
    ASSERT_GE(onDisk.size(), expectedStart.size());
    EXPECT_EQ(std::vector<uint8_t>(onDisk.begin(), onDisk.begin() + expectedStart.size()), expectedStart)
        << "little-endian int and IEEE float";

    CPFile file("stream.bin");
    ASSERT_EQ(file.Load(), S_OK);
    EXPECT_EQ(file.ReadInt(), -123456789);
    EXPECT_EQ(file.ReadFloat(), 0.1f);
    EXPECT_EQ(file.ReadString(), "text");
    EXPECT_EQ(file.ReadString(), "");
    char raw[3];
    EXPECT_EQ(file.Read(raw, 3), S_OK);
    EXPECT_EQ(std::string(raw, 3), "raw");
    EXPECT_EQ(file.GetRemaining(), 0);
    EXPECT_FALSE(file.HasFailed());
}

TEST_F(FilesTest, ReadStringEndsAtAZeroByte)
{
    CPFileWriter writer("z.bin");
    writer.WriteString(std::string("ab\0cd", 5));
    writer.WriteInt(7);
    ASSERT_EQ(writer.Save(), S_OK);
    CPFile file("z.bin");
    ASSERT_EQ(file.Load(), S_OK);
    EXPECT_EQ(file.ReadString(), "ab");
    EXPECT_EQ(file.ReadInt(), 7) << "the whole length is consumed";
}

TEST_F(FilesTest, ReadsPastTheEndFailCleanly)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"string length beyond the data", {0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}},
        {"string length just one too long", {3, 0, 0, 0, 'a', 'b'}},
        {"int cut short", {1, 2, 3}},
    };
    for (const Case& c : cases) {
        WriteDiskFile("bad.bin", c.bytes);
        CPFile file("bad.bin");
        ASSERT_EQ(file.Load(), S_OK) << c.name;
        if (c.bytes.size() > 4) {
            EXPECT_EQ(file.ReadString(), "") << c.name;
        } else {
            EXPECT_EQ(file.ReadInt(), 0) << c.name;
        }
        EXPECT_TRUE(file.HasFailed()) << c.name;
        EXPECT_EQ(file.ReadInt(), 0) << c.name << ": a failed stream stays failed";
    }

    WriteDiskFile("short.bin", "abc");
    CPFile file("short.bin");
    ASSERT_EQ(file.Load(), S_OK);
    char destination[8];
    std::memset(destination, 'x', sizeof destination);
    EXPECT_EQ(file.Read(destination, 8), E_FAIL);
    EXPECT_EQ(std::string(destination, 8), std::string(8, '\0'));
    EXPECT_EQ(file.Read(destination, -1), E_FAIL);
}

TEST_F(FilesTest, EmptyFileLoadsWithSizeZeroAndReadsAsTheEndOfData)
{
    WriteDiskFile("empty.txt", "");
    for (const bool scrambled : {false, true}) {
        CPFile file("empty.txt", scrambled);
        EXPECT_EQ(file.Load(), S_OK);
        EXPECT_EQ(file.GetSize(), 0);
        EXPECT_EQ(file.ReadString(), "");
        EXPECT_TRUE(file.HasFailed());
        EXPECT_EQ(file.ReadInt(), 0);
        EXPECT_EQ(file.ReadString(), "");
    }
}

TEST_F(FilesTest, LoadAgainReplacesTheData)
{
    WriteDiskFile("a.txt", "first");
    CPFile file("a.txt");
    ASSERT_EQ(file.Load(), S_OK);
    file.ReadInt();
    ASSERT_EQ(file.Load(), S_OK);
    EXPECT_EQ(Loaded(file), "first");
    EXPECT_EQ(file.GetRemaining(), 5) << "the read position starts over";
}

TEST_F(FilesTest, ScrambledWriterAndReaderRoundTrip)
{
    std::string text(5000, '\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7);
    CPFileWriter writer("Data\\scores.dat", true);
    writer.Write(text.data(), static_cast<int32_t>(text.size()));
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_EQ(writer.GetBuffer(), Bytes(text)) << "the writer scrambles a copy";
    EXPECT_NE(ReadDiskFile("Data/scores.dat"), text);

    // A second save writes the same bytes again.
    const std::string first = ReadDiskFile("Data/scores.dat");
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_EQ(ReadDiskFile("Data/scores.dat"), first);

    CPFile scrambled("data\\scores.dat", true);
    ASSERT_EQ(scrambled.Load(), S_OK);
    EXPECT_EQ(Loaded(scrambled), text);
    CPFile plain("data\\scores.dat", false);
    ASSERT_EQ(plain.Load(), S_OK);
    EXPECT_EQ(Loaded(plain), first) << "a disk file comes back as stored without the flag";
}

TEST_F(FilesTest, SaveReplacesTheFileAndLeavesNoTemporary)
{
    WriteDiskFile("config.cfg", std::string(1000, 'o'));
    CPFileWriter writer("config.cfg");
    writer.Write("short", 5);
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_EQ(ReadDiskFile("config.cfg"), "short");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST_F(FilesTest, SaveFailsOnReadOnlyFilesAndFolders)
{
    WriteDiskFile("locked.sav", "old");
    fs::permissions("locked.sav", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    CPFileWriter writer("locked.sav");
    writer.Write("new", 3);
    EXPECT_EQ(writer.Save(), E_FAIL);
    EXPECT_EQ(ReadDiskFile("locked.sav"), "old");

    fs::create_directory("folder.sav");
    CPFileWriter onFolder("FOLDER.SAV");
    EXPECT_EQ(onFolder.Save(), E_FAIL);
    EXPECT_TRUE(fs::is_directory("folder.sav"));
}

// Links planted where the writer puts its temporary file or the file itself never carry the
// bytes to the file they point at.
TEST_F(FilesTest, PlantedLinksLeaveTheirVictimUntouched)
{
    WriteDiskFile("victim.txt", "the victim");
    const fs::path victim = fs::absolute("victim.txt");
    fs::create_symlink(victim, "config.cfg.tmp");
    fs::create_symlink(victim, "Actions.cfg");
    for (const char* name : {"config.cfg", "Actions.cfg"}) {
        CPFileWriter writer(name);
        writer.Write("written", 7);
        ASSERT_EQ(writer.Save(), S_OK) << name;
        EXPECT_EQ(ReadDiskFile(name), "written") << name;
        EXPECT_FALSE(fs::is_symlink(name)) << name << " is a file of its own";
    }
    EXPECT_EQ(ReadDiskFile("victim.txt"), "the victim");
    EXPECT_TRUE(fs::is_symlink("config.cfg.tmp")) << "a foreign file is left as it is";
}

// Limits the size of files this process may write, so a write comes up short.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

TEST_F(FilesTest, AShortWriteFailsAndKeepsTheOldFile)
{
    WriteDiskFile("Data/Saves/save1.sav", "the old save");
    CPFileWriter writer("Data\\Saves\\save1.sav", true);
    const std::string big(64 * 1024, 'x');
    writer.Write(big.data(), static_cast<int32_t>(big.size()));
    int32_t result;
    {
        FileSizeLimit limit(1024);
        result = writer.Save();
    }
    EXPECT_EQ(result, E_FAIL);
    EXPECT_EQ(ReadDiskFile("Data/Saves/save1.sav"), "the old save");
    EXPECT_EQ(std::distance(fs::directory_iterator("Data/Saves"), fs::directory_iterator()), 1)
        << "the temporary file is removed";
}

// The names of the temporary files in a folder.
std::vector<std::string> Temporaries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".tmp")) names.push_back(name);
    }
    return names;
}

// A temporary's name without its "<pid>.<serial>.tmp".
std::string StemOf(const std::string& temporary)
{
    const size_t serialDot = temporary.rfind('.', temporary.size() - 5);
    return temporary.substr(0, temporary.rfind('.', serialDot - 1) + 1);
}

// Starts a process that saves the file again and again and kills it (SIGKILL) as soon as its
// next temporary file appears; false when the kill came after the rename every time.
bool KillWhileSaving(const std::string& gamePath, const fs::path& folder)
{
    const std::string big(32 << 20, 'n');
    for (int round = 0; round < 50; ++round) {
        const int watch = inotify_init1(IN_CLOEXEC);
        if (watch < 0 || inotify_add_watch(watch, folder.c_str(), IN_CREATE) < 0) return false;
        const pid_t child = fork();
        if (child == 0) {
            for (;;) {
                CPFileWriter writer(gamePath);
                writer.Write(big.data(), static_cast<int32_t>(big.size()));
                writer.Save();
            }
        }
        alignas(inotify_event) char events[4096];
        const bool created = read(watch, events, sizeof(events)) > 0;
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        close(watch);
        if (created && !Temporaries(folder).empty()) return true;
    }
    return false;
}

// A write killed before its rename leaves its temporary file; the next write of the same file
// clears it away (but not the temporary of a writer that still runs), and the old file is whole.
TEST_F(FilesTest, TheNextSaveRemovesWhatAKilledSaveLeftBehind)
{
    WriteDiskFile("Data/Saves/save1.sav", "the old save");
    ASSERT_TRUE(KillWhileSaving("Data\\Saves\\save1.sav", "Data/Saves"));
    const std::vector<std::string> left = Temporaries("Data/Saves");
    ASSERT_EQ(left.size(), 1u);
    const std::string saved = ReadDiskFile("Data/Saves/save1.sav");
    EXPECT_TRUE(saved == "the old save" || saved == std::string(32 << 20, 'n')) << "the file is old or new, whole";

    // The same name with the process that never ends in place of the killed one.
    const std::string running = StemOf(left[0]) + "1.1.tmp";
    WriteDiskFile("Data/Saves/" + running, "a save in progress");
    WriteDiskFile("Data/Saves/save2.sav.12345.1.tmp", "another file's");

    CPFileWriter writer("Data\\Saves\\save1.sav");
    writer.Write("new", 3);
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_EQ(ReadDiskFile("Data/Saves/save1.sav"), "new");
    std::vector<std::string> after = Temporaries("Data/Saves");
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, (std::vector<std::string>{running, "save2.sav.12345.1.tmp"}));
}

TEST_F(FilesTest, SaveKeepsTheModeOfTheFileItReplaces)
{
    for (const fs::perms mode : {fs::perms::owner_read | fs::perms::owner_write,
                                 fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                                 fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read}) {
        WriteDiskFile("private.sav", "old");
        fs::permissions("private.sav", mode);
        CPFileWriter writer("private.sav");
        writer.Write("new", 3);
        ASSERT_EQ(writer.Save(), S_OK);
        EXPECT_EQ(ReadDiskFile("private.sav"), "new");
        EXPECT_EQ(fs::status("private.sav").permissions(), mode);
    }
}

// The longest name a folder takes can be written, whatever the temporary's name adds.
TEST_F(FilesTest, TheLongestNameCanBeSaved)
{
    const std::string name(255, 'n');
    CPFileWriter writer(name);
    writer.Write("long", 4);
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_EQ(ReadDiskFile(name), "long");
    EXPECT_TRUE(Temporaries(".").empty());
}

TEST_F(FilesTest, FinderListsByPatternWithoutRegardToCase)
{
    WriteDiskFile("Data/game1.dat", "");
    WriteDiskFile("Data/Game2.DAT", "");
    WriteDiskFile("Data/readme", "");
    fs::create_directories("Data/Levels");

    CPFileFinder all("data\\*.*");
    ASSERT_EQ(all.FindFirst(), S_OK);
    std::vector<std::pair<std::string, bool>> found{{all.GetName(), all.IsDirectory()}};
    while (all.FindNext()) found.emplace_back(all.GetName(), all.IsDirectory());
    const std::vector<std::pair<std::string, bool>> expected = {
        {"Game2.DAT", false}, {"Levels", true}, {"game1.dat", false}, {"readme", false}};
    EXPECT_EQ(found, expected);
    EXPECT_FALSE(all.FindNext());

    EXPECT_EQ(CPFileFinder("Data\\*.txt").FindFirst(), E_FAIL);
    EXPECT_EQ(CPFileFinder("Missing\\*.*").FindFirst(), E_FAIL);
}

TEST(Wildcards, MatchTable)
{
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"game1.dat", "*.*", true},   {"readme", "*.*", true},      {"readme", "*", true},
        {"game1.dat", "*.DAT", true}, {"game1.dat", "game?.dat", true}, {"game12.dat", "game?.dat", false},
        {"a.txt", "*.dat", false},    {"readme", "read*.*", true},  {"x", "", false},
        {"abc", "a*c", true},         {"ac", "a*c", true},          {"ab", "a*c", false},
    };
    for (const Case& c : cases) EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

}  // namespace
