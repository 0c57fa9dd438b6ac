#include "core/PFile.h"

#include <cstdio>
#include <limits>

#include "core/FilePointer.h"
#include "core/PPack.h"
#include "core/Result.h"
#include "core/Scramble.h"
#include "core/TextHelpers.h"
#include "platform/PathResolver.h"

CPFile::CPFile(const std::string& path, bool scrambled) : m_path(path), m_scrambled(scrambled)
{
    StrToLower(m_path);
}

int32_t CPFile::Load()
{
    m_data.clear();
    std::string diskPath;
    const int32_t result = platform::ResolveFile(m_path, diskPath) ? LoadFromDisk(diskPath) : LoadFromPacks();
    m_reader = CPBinaryReader(m_data.data(), m_data.size());
    return result;
}

int32_t CPFile::LoadFromDisk(const std::string& diskPath)
{
    const FilePointer file(std::fopen(diskPath.c_str(), "rb"));
    if (!file) return E_FAIL;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return E_FAIL;
    const long size = std::ftell(file.get());
    if (size < 0 || size > std::numeric_limits<int32_t>::max() || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return E_FAIL;
    }
    m_data.resize(static_cast<size_t>(size));
    const size_t arrived = std::fread(m_data.data(), 1, m_data.size(), file.get());
    m_data.resize(arrived);
    if (arrived != static_cast<size_t>(size)) return E_FAIL;
    if (m_scrambled) Unscramble(m_data);
    return S_OK;
}

int32_t CPFile::LoadFromPacks()
{
    for (const CPPack& pack : GetPacks()) {
        const auto found = pack.entries.find(m_path);
        if (found == pack.entries.end()) continue;
        std::string diskPath;
        if (!platform::ResolveFile(pack.path, diskPath)) continue;
        const FilePointer file(std::fopen(diskPath.c_str(), "rb"));
        if (file) return ReadPackBody(file.get(), found->second, m_data);
    }
    return E_FAIL;
}

int32_t CPFile::Read(void* destination, int32_t n)
{
    if (n < 0) return E_FAIL;
    return m_reader.Read(destination, static_cast<size_t>(n)) ? S_OK : E_FAIL;
}
