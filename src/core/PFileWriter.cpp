#include "core/PFileWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The folder a resolved path lies in.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A temporary file's name: the target's name cut short (so that a long name still leaves room
// for the rest), a hash of its whole name, the writing process and a serial number:
// "<name>.<hash>.<pid>.<serial>.tmp". The part before the pid names the target's temporaries.
constexpr size_t kTemporaryNameKept = 100;

std::string NameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder and the name start shared by every temporary file of the target.
std::string TemporaryStem(const std::string& target)
{
    const std::string name = NameOf(target);
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const unsigned char byte : name) hash = (hash ^ byte) * 16777619u;
    char hex[9];
    std::snprintf(hex, sizeof(hex), "%08x", hash);
    return name.substr(0, kTemporaryNameKept) + "." + hex + ".";
}

// The writing process named by a temporary's name after its stem ("<pid>.<serial>.tmp"); 0 when
// the rest is not of that form.
pid_t WriterOf(const char* rest)
{
    char* end = nullptr;
    const long pid = std::strtol(rest, &end, 10);
    if (end == rest || *end != '.' || pid <= 0) return 0;
    const char* serial = end + 1;
    std::strtoul(serial, &end, 10);
    return end != serial && std::strcmp(end, ".tmp") == 0 ? static_cast<pid_t>(pid) : 0;
}

// A process that is gone, or this one, which writes one file at a time, leaves no live temporary.
bool IsGone(pid_t pid)
{
    return pid == getpid() || (kill(pid, 0) != 0 && errno == ESRCH);
}

// Removes the temporary files of the target that an earlier write killed before its rename left.
void RemoveStaleTemporaries(const std::string& folder, const std::string& stem)
{
    DIR* directory = opendir(folder.c_str());
    if (!directory) return;
    while (const dirent* entry = readdir(directory)) {
        if (std::strncmp(entry->d_name, stem.c_str(), stem.size()) != 0) continue;
        const pid_t writer = WriterOf(entry->d_name + stem.size());
        if (writer != 0 && IsGone(writer)) unlinkat(dirfd(directory), entry->d_name, 0);
    }
    closedir(directory);
}

// Creates a temporary file of a fresh name beside the target, never through an existing name
// or link, with the mode of the file it replaces (a new file gets the usual one); -1 when none
// can be made.
int CreateTemporary(const std::string& target, std::string& temporary)
{
    struct stat replaced {};
    const bool replaces = lstat(target.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode);
    const std::string stem = FolderOf(target) + "/" + TemporaryStem(target);
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + std::to_string(getpid()) + "." + std::to_string(++serial) + ".tmp";
        const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                    replaces ? 0600 : 0666);
        if (descriptor < 0 && errno == EEXIST) continue;
        if (descriptor >= 0 && replaces && fchmod(descriptor, replaced.st_mode & 07777) != 0) {
            close(descriptor);
            unlink(temporary.c_str());
            return -1;
        }
        return descriptor;
    }
    return -1;
}

// Makes a rename in the folder last through a crash of the system. Some file systems cannot
// sync a folder at all (EINVAL); their renames are as lasting as they get.
bool SyncFolder(const std::string& folder)
{
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool synced = fsync(descriptor) == 0 || errno == EINVAL;
    return close(descriptor) == 0 && synced;
}

// Writes the bytes to a fresh temporary file and renames it over the target.
bool ReplaceFile(const std::string& target, const std::vector<uint8_t>& bytes)
{
    RemoveStaleTemporaries(FolderOf(target), TemporaryStem(target));
    std::string temporary;
    const int descriptor = CreateTemporary(target, temporary);
    if (descriptor < 0) return false;
    const bool written = WriteAllBytes(descriptor, bytes) && fsync(descriptor) == 0;
    const bool closed = close(descriptor) == 0;
    const bool renamed = written && closed && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!renamed) unlink(temporary.c_str());
    return renamed && SyncFolder(FolderOf(target));
}

}  // namespace

bool WriteAllBytes(int descriptor, const std::vector<uint8_t>& bytes)
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

bool CPFileWriter::CanSave(const std::string& path)
{
    std::string target;
    return platform::ResolveForWriting(path, target) && !IsReadOnly(target) &&
           access(FolderOf(target).c_str(), W_OK | X_OK) == 0;
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
