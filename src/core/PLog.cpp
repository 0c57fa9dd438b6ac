#include "core/PLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

CPLog::CPLog()
{
    const char* sink = std::getenv("VX_LOG");
    m_toStderr = sink != nullptr && std::strcmp(sink, "stderr") == 0;
}

void CPLog::Print(int32_t category, const char* format, ...)
{
    if (!m_toStderr) return;

    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length < 0) {
        va_end(arguments);
        return;
    }
    std::string text(static_cast<size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);

    // Some reports carry no line end of their own; keep one report per line.
    if (text.empty() || text.back() != '\n') text += '\n';
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

CPLog* GetLog()
{
    static CPLog log;
    return &log;
}
