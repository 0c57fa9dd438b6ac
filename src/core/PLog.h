#pragma once
#include <cstdint>

// The engine's one log. Every report (device errors, script errors, the object report at exit)
// goes through Print. By default the log discards everything; with the environment variable
// VX_LOG=stderr its lines go to the standard error stream.
class CPLog {
public:
    CPLog();
    CPLog(const CPLog&) = delete;
    CPLog& operator=(const CPLog&) = delete;

    // printf-style report. Category 0 for every report except the sound-buffer one (1).
    void Print(int32_t category, const char* format, ...) __attribute__((format(printf, 3, 4)));

    bool IsEnabled() const { return m_toStderr; }
    // Switches the output to stderr on or off, whatever VX_LOG says (tests).
    void SetEnabled(bool toStderr) { m_toStderr = toStderr; }

private:
    bool m_toStderr = false;
};

// The log, built by the first call and destroyed at program exit.
CPLog* GetLog();
