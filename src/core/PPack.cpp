#include "core/PPack.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/FilePointer.h"
#include "core/PBinaryReader.h"
#include "core/PFileFinder.h"
#include "core/Result.h"
#include "core/Scramble.h"
#include "core/TextHelpers.h"
#include "platform/PathResolver.h"

namespace {

// The smallest index entry: name length, offset, size and child count with an empty name.
constexpr uint32_t kMinimumEntrySize = 16;
// Deeper folder trees are taken for garbage (and would exhaust the stack).
constexpr int kMaximumDepth = 64;

std::vector<CPPack>& PackList()
{
    static std::vector<CPPack> packs;
    return packs;
}

// Where the bodies of the pack being indexed lie in its file.
struct BodyRange {
    int64_t base = 0;
    int64_t end = 0;
};

bool ReadPackIndex(CPBinaryReader& cursor, const std::string& prefix, const BodyRange& bodies, CPPack& pack,
                   int depth)
{
    const uint32_t nameLength = cursor.ReadUInt();
    if (nameLength > cursor.GetRemaining()) return false;
    std::string name(nameLength, '\0');
    cursor.Read(name.data(), nameLength);
    const int32_t offset = cursor.ReadInt();
    const uint32_t size = cursor.ReadUInt();
    const uint32_t childCount = cursor.ReadUInt();
    if (cursor.HasFailed()) return false;

    std::string path = prefix + name;
    if (offset < 0) {
        if (depth >= kMaximumDepth || childCount > cursor.GetRemaining() / kMinimumEntrySize) return false;
        path += '\\';
        for (uint32_t i = 0; i < childCount; ++i) {
            if (!ReadPackIndex(cursor, path, bodies, pack, depth + 1)) return false;
        }
        return true;
    }
    const int64_t start = bodies.base + offset;
    if (start + static_cast<int64_t>(size) > bodies.end) return false;
    pack.entries[StrToLower(path)] = SPPackEntry{start, size};
    return true;
}

int64_t FileSize(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return size;
}

bool ReadIndex(std::FILE* file, CPPack& pack)
{
    const int64_t fileSize = FileSize(file);
    uint8_t header[8];
    if (fileSize < 8 || std::fread(header, 1, sizeof header, file) != sizeof header) return false;
    CPBinaryReader headerReader(header, sizeof header);
    const uint32_t magic = headerReader.ReadUInt();
    const uint32_t indexSize = headerReader.ReadUInt();
    if (magic != kPackMagic || indexSize > fileSize - 8) return false;

    std::vector<uint8_t> index(indexSize);
    if (std::fread(index.data(), 1, indexSize, file) != indexSize) return false;
    Unscramble(index);
    CPBinaryReader cursor(index.data(), index.size());
    const BodyRange bodies{8 + static_cast<int64_t>(indexSize), fileSize};
    return ReadPackIndex(cursor, "", bodies, pack, 0);
}

}  // namespace

bool LoadPackIndex(const std::string& diskPath, CPPack& pack)
{
    pack.entries.clear();
    FilePointer file(std::fopen(diskPath.c_str(), "rb"));
    if (file && ReadIndex(file.get(), pack)) return true;
    pack.entries.clear();
    return false;
}

int32_t ReadPackBody(std::FILE* pack, const SPPackEntry& entry, std::vector<uint8_t>& data)
{
    data.clear();
    if (std::fseek(pack, static_cast<long>(entry.offset), SEEK_SET) != 0) return E_FAIL;
    data.resize(entry.size);
    const size_t arrived = std::fread(data.data(), 1, entry.size, pack);
    data.resize(arrived);
    Unscramble(data);
    return arrived == entry.size ? S_OK : E_FAIL;
}

bool IsPackName(const std::string& name)
{
    return name.size() >= 7 && name.compare(0, 4, "game") == 0 && name.compare(name.size() - 3, 3, "dat") == 0;
}

int32_t PackNumber(const std::string& name)
{
    if (name.size() < 8) return 0;
    const std::string digits = name.substr(4, name.size() - 8);
    int32_t number = 0;
    const char* first = digits.c_str();
    while (IsSpace(*first)) ++first;
    if (*first == '+') ++first;
    const auto [end, error] = std::from_chars(first, digits.c_str() + digits.size(), number);
    return error == std::errc() ? number : 0;
}

int32_t MountPacks()
{
    std::vector<CPPack>& packs = PackList();
    packs.clear();
    CPFileFinder finder("Data\\*.*");
    if (finder.FindFirst() != S_OK) return S_OK;

    int32_t result = S_OK;
    do {
        if (finder.IsDirectory() || !IsPackName(finder.GetName())) continue;
        CPPack& pack = packs.emplace_back();
        pack.number = PackNumber(finder.GetName());
        pack.path = "Data\\" + finder.GetName();
        std::string diskPath;
        if (!platform::ResolveFile(pack.path, diskPath) || !LoadPackIndex(diskPath, pack)) result = E_FAIL;
    } while (finder.FindNext());

    std::stable_sort(packs.begin(), packs.end(),
                     [](const CPPack& a, const CPPack& b) { return a.number > b.number; });
    return result;
}

const std::vector<CPPack>& GetPacks()
{
    return PackList();
}
