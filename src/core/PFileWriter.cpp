#include "core/PFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <string>

#include "core/Result.h"
#include "core/Scramble.h"
#include "platform/PathResolver.h"

namespace {

bool IsReadOnly(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return false;
    return access(path.c_str(), W_OK) != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool WriteAll(int descriptor, const std::vector<uint8_t>& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (result < 0 && errno == EINTR) continue;
        if (result <= 0) return false;
        written += static_cast<size_t>(result);
    }
    return true;
}

// Creates a temporary file of a fresh name beside the target, never through an existing name
// or link; -1 when none can be made.
int CreateTemporary(const std::string& target, std::string& temporary)
{
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + "." + std::to_string(getpid()) + "." + std::to_string(++serial) + ".tmp";
        const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

// Writes the bytes to a fresh temporary file and renames it over the target.
bool ReplaceFile(const std::string& target, const std::vector<uint8_t>& bytes)
{
    std::string temporary;
    const int descriptor = CreateTemporary(target, temporary);
    if (descriptor < 0) return false;
    const bool written = WriteAll(descriptor, bytes) && fsync(descriptor) == 0;
    const bool closed = close(descriptor) == 0;
    const bool saved = written && closed && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!saved) unlink(temporary.c_str());
    return saved;
}

}  // namespace

CPFileWriter::CPFileWriter(const std::string& path, bool scrambled) : m_path(path), m_scrambled(scrambled) {}

int32_t CPFileWriter::Write(const void* bytes, int32_t n)
{
    if (n < 0) return E_FAIL;
    const uint8_t* first = static_cast<const uint8_t*>(bytes);
    m_buffer.insert(m_buffer.end(), first, first + n);
    return S_OK;
}

int32_t CPFileWriter::WriteInt(int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                              static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    return Write(bytes, 4);
}

int32_t CPFileWriter::WriteFloat(float value)
{
    return WriteInt(std::bit_cast<int32_t>(value));
}

int32_t CPFileWriter::WriteString(const std::string& text)
{
    WriteInt(static_cast<int32_t>(text.size()));
    return Write(text.data(), static_cast<int32_t>(text.size()));
}

int32_t CPFileWriter::Save()
{
    std::string target;
    if (!platform::ResolveForWriting(m_path, target) || IsReadOnly(target)) return E_FAIL;

    std::vector<uint8_t> bytes = m_buffer;
    if (m_scrambled) Scramble(bytes);
    const bool saved = ReplaceFile(target, bytes);
    platform::InvalidateListings();
    return saved ? S_OK : E_FAIL;
}
