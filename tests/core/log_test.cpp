#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/PLog.h"

namespace {

// Sets an environment variable for the scope of a test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_old = old, m_hadOld = true;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment()
    {
        if (m_hadOld) {
            setenv(m_name, m_old.c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_hadOld = false;
};

std::string PrintCaptured(CPLog& log)
{
    ::testing::internal::CaptureStderr();
    log.Print(0, "DXError if %s on line %d\n%s\n%s\n", "Render\\PRender", 42, "E_FAIL", "failure");
    log.Print(1, "Удаленный объект: ссылок - %d, класс - %s, размер - %d bytes", 0, "CPDator", 16);
    return ::testing::internal::GetCapturedStderr();
}

TEST(Log, DiscardsEverythingByDefault)
{
    ScopedEnvironment unset("VX_LOG", nullptr);
    CPLog log;
    EXPECT_FALSE(log.IsEnabled());
    EXPECT_EQ(PrintCaptured(log), "");
}

TEST(Log, OtherSinkNamesAlsoDiscard)
{
    ScopedEnvironment other("VX_LOG", "file");
    CPLog log;
    EXPECT_EQ(PrintCaptured(log), "");
}

TEST(Log, StderrSinkWritesOneReportPerLine)
{
    ScopedEnvironment toStderr("VX_LOG", "stderr");
    CPLog log;
    EXPECT_EQ(PrintCaptured(log),
              "DXError if Render\\PRender on line 42\nE_FAIL\nfailure\n"
              "Удаленный объект: ссылок - 0, класс - CPDator, размер - 16 bytes\n");
}

TEST(Log, GetLogReturnsOneInstance)
{
    ASSERT_NE(GetLog(), nullptr);
    EXPECT_EQ(GetLog(), GetLog());
}

}  // namespace
