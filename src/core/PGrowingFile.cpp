#include "core/PGrowingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <utility>

#include "core/PFileWriter.h"
#include "core/Result.h"
#include "platform/PathResolver.h"

namespace {

// Starts the file with its first bytes and opens it for what follows; -1 when either fails.
int StartFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    CPFileWriter writer(path);
    writer.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    std::string resolved;
    if (writer.Save() != S_OK || !platform::ResolveFile(path, resolved)) return -1;
    return open(resolved.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
}

}  // namespace

CPGrowingFile::CPGrowingFile(std::string path) : m_path(std::move(path)) {}

CPGrowingFile::~CPGrowingFile() { Close(); }

bool CPGrowingFile::Append(const std::vector<uint8_t>& bytes)
{
    if (m_failed) return false;
    if (m_descriptor < 0) {
        m_descriptor = StartFile(m_path, bytes);
        m_failed = m_descriptor < 0;
    } else {
        m_failed = !WriteAllBytes(m_descriptor, bytes);
    }
    return !m_failed;
}

bool CPGrowingFile::Close()
{
    if (m_descriptor >= 0) {
        const bool synced = fsync(m_descriptor) == 0;
        m_failed = close(m_descriptor) != 0 || !synced || m_failed;
        m_descriptor = -1;
    }
    return !m_failed;
}
