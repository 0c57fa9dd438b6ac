// vxpack: builds, lists and extracts the game's data packs (Data\game<N>.dat) and scrambles or
// unscrambles single files (save games, Data\scores.dat, data\links.txt).

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/FilePointer.h"
#include "core/PFileWriter.h"
#include "core/PPack.h"
#include "core/PPackBuilder.h"
#include "core/Result.h"
#include "core/Scramble.h"
#include "core/TextHelpers.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: vxpack build <folder> <pack>      pack every file below <folder>; the folder's name is the root\n"
    "       vxpack list <pack>                print the path and size of every file in <pack> (control\n"
    "                                         bytes in a path shown as \\xHH)\n"
    "       vxpack extract <pack> <folder>    write every file of <pack> below <folder> (refused when the\n"
    "                                         files add up to more than the pack: their bytes overlap)\n"
    "       vxpack scramble <in> <out>        scramble a file as the game stores saves and scores\n"
    "       vxpack unscramble <in> <out>      undo scramble\n";

bool ReadWholeFile(const fs::path& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWholeFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

// Writes a pack the way the game writes its files: the folders of the path are found without
// regard to case ("Data/game5.dat" lands in an existing "data" folder, where the game mounts it)
// and the file is replaced through a temporary file.
bool WritePack(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    CPFileWriter writer(fs::absolute(path).lexically_normal().string());
    writer.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    return writer.Save() == S_OK;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "vxpack: %s\n", message.c_str());
    return 1;
}

int Build(const fs::path& folder, const fs::path& packPath)
{
    const fs::path root = folder.lexically_normal();
    const std::string rootName = (root.has_filename() ? root : root.parent_path()).filename().string();
    if (!fs::is_directory(root) || rootName.empty() || rootName == "." || rootName == "..") {
        return Fail("not a named folder: " + folder.string());
    }

    CPPackBuilder builder(rootName);
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file()) continue;
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(it->path(), bytes)) return Fail("cannot read " + it->path().string());
        builder.AddFile(it->path().lexically_relative(root).generic_string(), bytes);
    }
    if (error) return Fail("cannot list " + root.string() + ": " + error.message());

    std::vector<uint8_t> pack;
    if (!builder.Build(pack)) return Fail("the files are too large for one pack");
    if (!WritePack(packPath, pack)) return Fail("cannot write " + packPath.string());
    return 0;
}

bool ReadIndex(const fs::path& packPath, CPPack& pack)
{
    if (LoadPackIndex(packPath.string(), pack)) return true;
    Fail("not a valid pack: " + packPath.string());
    return false;
}

std::vector<std::pair<std::string, SPPackEntry>> SortedEntries(const CPPack& pack)
{
    std::vector<std::pair<std::string, SPPackEntry>> entries(pack.entries.begin(), pack.entries.end());
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}

int List(const fs::path& packPath)
{
    CPPack pack;
    if (!ReadIndex(packPath, pack)) return 1;
    for (const auto& [path, entry] : SortedEntries(pack)) {
        std::printf("%10u  %s\n", entry.size, ShowControlBytes(path).c_str());
    }
    return 0;
}

// The entry's path as a relative file-system path; empty when a name on it could leave the
// target folder.
fs::path SafeRelativePath(const std::string& packPath)
{
    fs::path relative;
    size_t start = 0;
    while (start <= packPath.size()) {
        size_t end = packPath.find('\\', start);
        if (end == std::string::npos) end = packPath.size();
        const std::string name = packPath.substr(start, end - start);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
            name.find('\0') != std::string::npos) {
            return {};
        }
        relative /= name;
        start = end + 1;
    }
    return relative;
}

// A pack stores every file's bytes once, so what it holds adds up to no more than its own size;
// a pack whose entries share bodies could make an extract write far more than it holds.
bool FitsInPack(const fs::path& packPath, const CPPack& pack, uint64_t& total, uint64_t& packSize)
{
    std::error_code error;
    packSize = fs::file_size(packPath, error);
    total = 0;
    for (const auto& [path, entry] : pack.entries) total += entry.size;
    return !error && total <= packSize;
}

int Extract(const fs::path& packPath, const fs::path& folder)
{
    CPPack pack;
    if (!ReadIndex(packPath, pack)) return 1;
    uint64_t total = 0, packSize = 0;
    if (!FitsInPack(packPath, pack, total, packSize)) {
        return Fail("refused: the files of " + packPath.string() + " add up to " + std::to_string(total) +
                    " bytes, more than the pack's own " + std::to_string(packSize) + " (entries share their bytes)");
    }
    const FilePointer file(std::fopen(packPath.string().c_str(), "rb"));
    if (!file) return Fail("cannot open " + packPath.string());

    int result = 0;
    for (const auto& [path, entry] : SortedEntries(pack)) {
        const fs::path relative = SafeRelativePath(path);
        std::vector<uint8_t> bytes;
        std::error_code error;
        if (relative.empty()) {
            result = Fail("skipped unsafe path: " + ShowControlBytes(path));
        } else if (ReadPackBody(file.get(), entry, bytes) != S_OK) {
            result = Fail("cannot read " + ShowControlBytes(path));
        } else if (fs::create_directories((folder / relative).parent_path(), error); error) {
            result = Fail("cannot create the folder of " + (folder / relative).string());
        } else if (!WriteWholeFile(folder / relative, bytes)) {
            result = Fail("cannot write " + (folder / relative).string());
        }
    }
    return result;
}

int Transform(const fs::path& in, const fs::path& out, bool scramble)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(in, bytes)) return Fail("cannot read " + in.string());
    if (scramble) {
        Scramble(bytes);
    } else {
        Unscramble(bytes);
    }
    if (!WriteWholeFile(out, bytes)) return Fail("cannot write " + out.string());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "build") return Build(args[1], args[2]);
    if (args.size() == 2 && args[0] == "list") return List(args[1]);
    if (args.size() == 3 && args[0] == "extract") return Extract(args[1], args[2]);
    if (args.size() == 3 && args[0] == "scramble") return Transform(args[1], args[2], true);
    if (args.size() == 3 && args[0] == "unscramble") return Transform(args[1], args[2], false);
    const bool help = args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "help");
    std::fputs(kUsage, help ? stdout : stderr);
    return help ? 0 : 2;
}
